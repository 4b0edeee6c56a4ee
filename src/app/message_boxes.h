// The editor's message boxes. Buttons are added by their texts and the answer is read from
// the button clicked, so that closing a box by its frame counts as "キャンセル".
#pragma once

class QWidget;

namespace sorvane::app {

// A notice captioned "メッセージ" with the one button "OK"; returns when it is closed.
void ShowNotice(QWidget* owner, const char* text);

// A question captioned "メッセージ" with "OK" and "キャンセル"; true only for OK.
bool AskOkCancelBox(QWidget* owner, const char* text);

// A refusal captioned "エラー" with the one button "OK".
void ShowErrorBox(QWidget* owner, const char* text);

}  // namespace sorvane::app
