// Velmaro — the program's messages, as the user reads them. The tests read
// them from here too.
#pragma once

#include <QString>

// The dialog's one message, shown when the red count exceeds the total.
inline const QString kLimitMessageText = QStringLiteral("金魚の数が設定数を超えてます");
inline const QString kLimitMessageTitle = QStringLiteral("入力ｴﾗｰ");

// About the settings file SET. The boxes carry the system's reason on a
// second line.
inline const QString kCreateFailedText =
    QStringLiteral("設定ファイル「SET」を作成できませんでした。既定の設定で続けます。");
inline const QString kLoadFailedText =
    QStringLiteral("設定ファイル「SET」を読み込めませんでした。既定の設定で続けます。");
inline const QString kSaveFailedText = QStringLiteral("設定ファイル「SET」に保存できませんでした。");
inline const QString kReadOnlyText =
    QStringLiteral("設定ファイル「SET」は読み込み専用です。設定は保存されません。");
// %1: what SET is instead, e.g. 名前付きパイプ (a named pipe).
inline const QString kNotOrdinaryText = QStringLiteral(
    "設定ファイル「SET」は普通のファイルではありません（%1）。既定の設定で続けます。設定は保存されません。");
inline const QString kNotOrdinaryReasonText = QStringLiteral("「SET」は普通のファイルではありません（%1）");
inline const QString kDisplayLostText =
    QStringLiteral("画面との接続が切れました。設定を「SET」に保存して終了します。");
// %1: the count as read.
inline const QString kDamagedCountText =
    QStringLiteral("設定ファイル「SET」の金魚の数が壊れています（MaxIndex %1）。1 匹で続けます。");
// %1: each damaged kind as "Kind(i) value", joined by 、.
inline const QString kDamagedKindsText =
    QStringLiteral("設定ファイル「SET」の金魚の種類が壊れています（%1）。赤で続けます。");
