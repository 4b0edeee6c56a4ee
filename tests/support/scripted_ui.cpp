#include "support/scripted_ui.h"

namespace sorvane::testing {

void ScriptedProgress::Start() {
  ++Starts;
  Active = true;
}

void ScriptedProgress::SetPosition(int percent) { Positions.push_back(percent); }

bool ScriptedProgress::PollCancel() {
  ++Polls;
  return CancelAtPoll > 0 && Polls >= CancelAtPoll;
}

void ScriptedProgress::Finish() {
  ++Finishes;
  Active = false;
}

void ScriptedProgress::Notify(const char* text) { Notices.emplace_back(text); }

void ScriptedPrompter::NotifyUser(const char* text) { Notices.emplace_back(text); }

bool ScriptedPrompter::AskOkCancel(const char* text) {
  Questions.emplace_back(text);
  if (Answers.empty()) return DefaultAnswer;
  bool answer = Answers.front();
  Answers.pop_front();
  return answer;
}

LengthChoice ScriptedPrompter::ChooseLength(const char* message, const char* secondChoice) {
  LengthMessages.emplace_back(message);
  SecondChoices.emplace_back(secondChoice);
  if (LengthAnswers.empty()) return LengthChoice::Cancel;
  LengthChoice answer = LengthAnswers.front();
  LengthAnswers.pop_front();
  return answer;
}

}  // namespace sorvane::testing
