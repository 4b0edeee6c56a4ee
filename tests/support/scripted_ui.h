// Scripted stand-ins for the person at the screen: a progress monitor that records what
// it was told and cancels on request, and a prompter that answers from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "common/progress_monitor.h"
#include "common/prompter.h"

namespace sorvane::testing {

class ScriptedProgress : public ProgressMonitor {
 public:
  // Cancel at the given poll (1 = the first); 0 never.
  int CancelAtPoll = 0;

  int Starts = 0;
  int Finishes = 0;
  int Polls = 0;
  bool Active = false;
  std::vector<int> Positions;
  std::vector<std::string> Notices;

  void Start() override;
  void SetPosition(int percent) override;
  bool PollCancel() override;
  void Finish() override;
  void Notify(const char* text) override;
};

class ScriptedPrompter : public Prompter {
 public:
  // Answers of AskOkCancel in order; when used up, `DefaultAnswer`.
  std::deque<bool> Answers;
  bool DefaultAnswer = false;
  std::deque<LengthChoice> LengthAnswers;

  std::vector<std::string> Notices;
  std::vector<std::string> Questions;
  std::vector<std::string> LengthMessages;
  std::vector<std::string> SecondChoices;

  void NotifyUser(const char* text) override;
  bool AskOkCancel(const char* text) override;
  LengthChoice ChooseLength(const char* message, const char* secondChoice) override;
};

}  // namespace sorvane::testing
