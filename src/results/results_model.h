// The results the main window shows: the record, its panel texts and the
// progress bar position, with one observer that the view hooks to push the
// texts to its controls and repaint the graph. The application owns one
// instance and passes it by reference.
#pragma once

#include <functional>
#include <utility>

#include "results/result_texts.h"
#include "results/test_results.h"

namespace tmx {

class ResultsModel {
 public:
  TestResults record;
  ResultTexts texts;
  int progress = 0;  // percent, 0..100

  // Called after a reset and after a DAT load.
  void setObserver(std::function<void()> observer) { observer_ = std::move(observer); }
  void notifyChanged() const {
    if (observer_) observer_();
  }

  // Start of a run or another drive chosen: the record reset, the texts a
  // reset empties emptied, progress 0, then the observer.
  void resetResults() {
    resetRecord(record);
    clearResultTexts(texts);
    progress = 0;
    notifyChanged();
  }

 private:
  std::function<void()> observer_;
};

}  // namespace tmx
