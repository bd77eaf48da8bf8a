// What the engine asks of its front end. The window implements it with
// widgets, the CLI with printed lines, tests with a recorder. Every call comes
// from the main thread.
#pragma once

#include <string>
#include <string_view>

#include "drive/status_sink.h"
#include "results/medium_results.h"

namespace tmx {

class EngineHost : public StatusSink {
 public:
  virtual void setProgress(int percent) = 0;
  virtual void setStartCaption(std::string_view caption) = 0;
  virtual std::string startCaption() const = 0;
  // The result texts changed: show them.
  virtual void pushResultTexts() = 0;

  // Speed graph.
  virtual void drawEndMarker(int lba) = 0;
  virtual void plotZoneSample(int zone, double sample) = 0;
  virtual void redrawGraph() = 0;
  virtual void markQualityBlock(int block, int errorClass) = 0;
  // A DVD's or BD's zone, and one cell of its read scan's map.
  virtual void plotMediumZone(const ZoneSpeed& zone) { (void)zone; }
  virtual void markScanCell(int cell, int bucket) {
    (void)cell;
    (void)bucket;
  }

  // "Tachometrix" message box with the stop icon.
  virtual void messageBox(std::string_view text) = 0;
  // Yes/No question; true for Yes.
  virtual bool askYesNo(std::string_view text) = 0;

  // The one-second readiness poll must not send commands while a run owns the drive.
  virtual void stopReadinessPoll() = 0;
  virtual void startReadinessPoll() = 0;

  // "Save Status" and the two result saving commands become available.
  virtual void enableSaveStatus() {}
  virtual void enableSaveResults() {}
};

}  // namespace tmx
