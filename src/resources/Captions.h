#pragma once

#include <QString>

// Texts the program shows that switch with the caption language.
namespace sc::captions {

inline const QString kIdlePromptJapanese =
    QStringLiteral("変換元の画像ファイル or フォルダをドロップしてください。");
inline const QString kIdlePromptEnglish = QStringLiteral("Drop source files or a source folder here.");

inline QString idlePrompt(bool japanese) { return japanese ? kIdlePromptJapanese : kIdlePromptEnglish; }

} // namespace sc::captions
