// Velmaro — start-up, the main window's layout and shutdown.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

#include "sim/Random.h"

class Form1;

// Puts the exit status and what start-up found of SET back as at start-up.
void ResetStartupState();

inline const QString kCreateFailedText =
    QStringLiteral("設定ファイル「SET」を作成できませんでした。既定の設定で続けます。");
inline const QString kLoadFailedText =
    QStringLiteral("設定ファイル「SET」を読み込めませんでした。既定の設定で続けます。");
inline const QString kSaveFailedText =
    QStringLiteral("設定ファイル「SET」に保存できませんでした。");
inline const QString kReadOnlyText =
    QStringLiteral("設定ファイル「SET」は読み込み専用です。設定は保存されません。");
// %1: what SET is instead, e.g. 名前付きパイプ (a named pipe).
inline const QString kNotOrdinaryText = QStringLiteral(
    "設定ファイル「SET」は普通のファイルではありません（%1）。既定の設定で続けます。設定は保存されません。");

// The window system to ask Qt for, or "" for Qt's own choice. The program
// places its window itself, which only X11 allows: in a Wayland session that
// means XWayland, whenever an X display is there. A choice made in
// QT_QPA_PLATFORM is kept.
QString ChooseWindowSystem(const QString& requested, const QString& x11Display);

// A scale factor asked for by name (QT_SCALE_FACTOR, QT_SCREEN_SCALE_FACTORS:
// "1.5", or "name=1.5;other=2") with each number rounded to a whole one, at
// least 1.
QString RoundedScaleFactors(const QString& factors);

// Must run before the application object exists: the window system, and
// whole device pixel ratios, whatever asks for the scale, that keep the
// pixel art sharp and the screen's real twips visible.
void PrepareApplication();

// Loads the settings, loads and lays out the main window, shows it and seeds
// the fish, which draw from random. The caller keeps the window until the
// event loop ends.
std::unique_ptr<Form1> Main(RandomSource& random = ProgramRandom());

// Inner area exactly 500 x 300 pixels, window centred on the screen by its
// outer size, surfaces sized and the background copied into back; then shown.
void LayoutMainWindow(Form1& form);

// The main window's unload: saves the settings. A failed save is reported and
// makes the program end with a non-zero status; the unload goes on regardless.
// A SET found at start-up to be no ordinary file is left alone, without a
// second message: the first one said that nothing would be saved.
void Form_Unload(Form1& form, std::int16_t& Cancel);

// 0 unless something that must not fail did (a failed or refused save).
int ExitStatus();

inline const QString kDisplayLostText =
    QStringLiteral("画面との接続が切れました。設定を「SET」に保存して終了します。");

// Saves the settings as closing the main window would, but leaves it open:
// a desktop asks this of its programs before logging out. A failed save is
// told as at closing, with a box when the session manager lets the program
// show one.
void CommitSettings(Form1& form, const std::function<bool()>& mayShowBox);

// From now on, a process that ends with the main window still open saves as
// the window's unload would: the window system gone, Qt ends the program
// itself. Only the program calls this, once; there is no screen left for a
// box, so standard error tells.
void SaveSettingsIfEndedWithTheWindowOpen();
