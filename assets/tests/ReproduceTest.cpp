// The committed pictures are the artwork tool's output, not hand edits:
// running the tool again must give the very same bytes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int RunTool(const QStringList& arguments) {
  QProcess tool;
  tool.start(QStringLiteral(VELMARO_ARTWORK_TOOL), arguments);
  if (!tool.waitForFinished(120000)) return -1;
  return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

TEST(Reproduce, ToolRedrawsEveryCommittedPicture) {
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  ASSERT_EQ(RunTool({out.path()}), 0);
  const QDir assets(QStringLiteral(VELMARO_ASSETS_DIR));
  for (const char* name : {"suisou.png", "pat0.png", "pat1.png", "pat2.png",
                           "pat3.png", "awa.png", "icon.png", "icon-128.png"}) {
    const QByteArray drawn = ReadAll(out.filePath(name));
    const QByteArray committed = ReadAll(assets.filePath(name));
    ASSERT_FALSE(drawn.isEmpty()) << name;
    EXPECT_TRUE(drawn == committed) << name << " differs from a fresh run";
  }
}

TEST(Reproduce, ToolRedrawsTheScreenshot) {
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  const QString still = out.filePath("screenshot.png");
  ASSERT_EQ(RunTool({"--preview", still}), 0);
  const QByteArray drawn = ReadAll(still);
  ASSERT_FALSE(drawn.isEmpty());
  EXPECT_TRUE(drawn ==
              ReadAll(QDir(QStringLiteral(VELMARO_DOCS_DIR))
                          .filePath("screenshot.png")));
}

TEST(Reproduce, ToolRejectsMissingArguments) {
  EXPECT_NE(RunTool({}), 0);
  EXPECT_NE(RunTool({"--preview"}), 0);
}

}  // namespace
