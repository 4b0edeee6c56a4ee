// A prompter that passes everything on, adding the window's line after some of the core's
// questions: the described text stays whole before it.
#pragma once

#include <QString>
#include <algorithm>
#include <string>
#include <vector>

#include "app/ui_text.h"
#include "common/prompter.h"

namespace sorvane::app {

// The delete confirmation's channel, the length dialog's two lengths (and in a batch, the
// sound), the file that the recovery question is about.
class AddedLine : public Prompter {
 public:
  AddedLine(Prompter& inner, std::vector<const char*> questions, QString line)
      : inner_(inner), questions_(std::move(questions)), line_(std::move(line)) {}
  void NotifyUser(const char* text) override { inner_.NotifyUser(text); }
  bool AskOkCancel(const char* text) override { return inner_.AskOkCancel(With(text).c_str()); }
  LengthChoice ChooseLength(const char* message, const char* secondChoice) override {
    return inner_.ChooseLength(With(message).c_str(), secondChoice);
  }
  // A batch names each sound as it comes.
  void SetLine(QString line) { line_ = std::move(line); }

 private:
  std::string With(const char* text) const {
    const bool added = !line_.isEmpty() &&
                       std::find(questions_.begin(), questions_.end(), text) != questions_.end();
    return added ? QStringLiteral("%1\n\n%2").arg(QText(text), line_).toStdString() : text;
  }
  Prompter& inner_;
  std::vector<const char*> questions_;  // the texts, by address, as the core passes them
  QString line_;
};

}  // namespace sorvane::app
