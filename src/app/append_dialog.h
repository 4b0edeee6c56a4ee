// TForm5, the channel append dialog: slot, start position, disc speed, channel number and
// quality of the channel to add, with "検索" for a free place. Its logic is the core's
// (edit/channel_append.h); the dialog copies its controls to and from the core's model of
// them around each event.
#pragma once

#include <QDialog>
#include <optional>

#include "app/form_widgets.h"
#include "edit/channel_append.h"

namespace sorvane::app {

class TForm5 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm5(QWidget* parent = nullptr);

  QComboBox* TrackSel;
  QLineEdit* StartEdit;
  QComboBox* SpeedSel;
  QLineEdit* ChEdit;
  QComboBox* QualitySel;
  // Beside 開始位置 and チャンネル, live: the sector and time, and the channel number, that
  // the texts are read as.
  QLabel* StartReading;
  QLabel* ChannelReading;
  QPushButton* FindButton;
  QPushButton* OKButton;
  QPushButton* CancelButton;

  // What the controls hold, in the core's terms.
  AppendDialogState State;

  // Shows the dialog modally for one append. It is lent the open file (for its channel
  // tables), the WAV reader open on the chosen file and the proposed record, which it edits
  // in place; its refusals go to `prompt`. True when closed with OK: `record` then holds
  // the values as they will be used. Nothing is kept after it returns.
  bool Edit(const XaFile& xa, FrameSource& wave, ChannelRecord& record, Prompter& prompt);

  // The record of the current showing in the controls; does nothing when nothing is lent.
  void FormShow();
  // Rebuilds TrackSel for the chosen quality and speed, keeping the slot modulo the count.
  void QualitySelChange();
  // "検索": a free channel number and a free start from what was typed.
  void FindButtonClick();
  // Takes the entries as they will be used; closes with OK unless the core refuses them,
  // in which case the refusal is shown and the dialog stays open.
  void OKButtonClick();

 signals:
  // The record the controls describe now, for the map's preview, after every change.
  void ProposalChanged(const sorvane::ChannelRecord& proposal);
  // The dialog closed: no more proposal.
  void ProposalEnded();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct Lent {
    const XaFile& File;
    FrameSource& Wave;
    ChannelRecord& NewChannel;
    Prompter& Prompt;
  };

  void ReadControls();  // controls to State
  void ShowControls();  // State to controls
  void ShowProposal();  // the controls' record to the map and the readings
  // Beside the main window, so that the map it previews stays in sight.
  void PlaceBesideOwner();

  std::optional<Lent> lent_;
};

}  // namespace sorvane::app
