// The main window's side of the waveform strip: which channel it shows, its links with the
// map (each marks the other's hovered sector), playback from a point with a playhead that
// follows the output's play position, and the export of the range selected on it.
#include <QAction>
#include <QMenu>
#include <QTableWidget>
#include <QTimer>

#include "app/file_chooser.h"
#include "app/interleave_map_view.h"
#include "app/main_window.h"
#include "app/waveform_view.h"
#include "audio/audio_output.h"
#include "common/fixed_texts.h"
#include "common/prompter.h"
#include "edit/channel_part.h"
#include "edit/channel_play.h"
#include "edit/list_position.h"
#include "edit/workspace.h"

namespace sorvane::app {
namespace {

constexpr int kPlayheadMs = 40;  // how often the play position is read while playing

}  // namespace

void TForm1::ConnectWaveform() {
  MenuExportPart =
      AddCommand(MenuEdit, "MenuExportPart", text::kMenuExportPart, &TForm1::MenuExportPartClick);
  MenuExportPart->setEnabled(false);
  connect(Wave, &WaveformView::SelectionChanged, this,
          [this] { MenuExportPart->setEnabled(Wave->Selection().has_value()); });
  connect(G, &QTableWidget::currentCellChanged, this, [this] { ShowSelectedWaveform(); });
  connect(Wave, &WaveformView::SectorHovered, this, [this](std::int64_t sector) {
    Map->SetWaveformMarks(sector, Map->Marks().PlayedSector);
  });
  connect(Map, &InterleaveMapView::SectorHovered, Wave, &WaveformView::SetHoverSector);
  connect(Wave, &WaveformView::PlayRequested, this,
          [this](std::int64_t frame) { RunCommand([this, frame] { PlayFromFrame(frame); }); });
}

void TForm1::ShowSelectedWaveform() {
  const int entry = SelectedEntry();
  Wave->SetUnit(DisplayUnit);
  Wave->ShowChannel(FileOpen && entry >= 0
                        ? std::optional(workspace_.File.AudioChannelTable.Records[entry])
                        : std::nullopt);
}

Outcome TForm1::PlayFollowed(const ChannelRecord& record, std::int64_t frame) {
  AudioOutput& audio = S().Audio;
  const std::int64_t frameBytes = record.Stereo ? 4 : 2;
  QTimer playhead;
  playhead.setInterval(kPlayheadMs);
  connect(&playhead, &QTimer::timeout, this, [&] {
    std::int64_t played = 0;
    if (!audio.Position(played)) return;
    const std::int64_t now = frame + played / frameBytes;
    Wave->SetPlayheadFrame(now);
    Map->SetWaveformMarks(Map->Marks().HoverSector, SectorOfFrame(record, now));
  });
  playhead.start();
  const Outcome outcome = PlayChannelFrom(workspace_, record, frame, audio, S().Progress);
  playhead.stop();
  Wave->SetPlayheadFrame(-1);
  Map->SetWaveformMarks(Map->Marks().HoverSector, -1);
  return outcome;
}

void TForm1::PlayFromFrame(std::int64_t frame) {
  const int entry = SelectedEntry();
  if (entry < 0 || frame < 0) return;
  XaFile& xa = workspace_.File;
  // As the play command: a cancel stops the sound without a message.
  if (PlayFollowed(xa.AudioChannelTable.Records[entry], frame) == Outcome::Failed)
    S().Prompt.NotifyUser(xa.LastErrorText);
}

void TForm1::MenuExportPartClick() {
  const int entry = SelectedEntry();
  const std::optional<FrameSpan> span = Wave->Selection();
  if (entry < 0 || !span) return;
  const std::string wav = S().Files.Choose(FileDialogKind::SaveWav);
  if (wav.empty()) return;
  XaFile& xa = workspace_.File;
  // As the export command: a cancel is reported too, and the list is not refreshed.
  const ChannelRecord record = xa.AudioChannelTable.Records[entry];
  if (ExportChannelPart(workspace_, record, *span, wav, S().Progress) != Outcome::Done)
    S().Prompt.NotifyUser(xa.LastErrorText);
}

}  // namespace sorvane::app
