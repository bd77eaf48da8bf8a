// What the main window's logic asks of the person in front of it: message
// boxes, the yes/no question, file choosers and the desktop's "open". The
// window answers with Qt's dialogs, tests with scripted answers.
#pragma once

#include <string>
#include <string_view>

namespace tmx {

struct FileChoice {
  std::string filter;            // "DAT files|*.dat||"
  std::string defaultExtension;  // "dat": appended when the name has none
  std::string proposedName;      // empty: none
};

class WindowDialogs {
 public:
  virtual ~WindowDialogs() = default;
  // Titled "Tachometrix" with the stop icon, an OK button.
  virtual void messageBox(std::string_view text) = 0;
  // True for Yes.
  virtual bool askYesNo(std::string_view text) = 0;
  // The chosen path, empty when cancelled.
  virtual std::string chooseOpenFile(const FileChoice& choice) = 0;
  // The chosen path, empty when cancelled; asks before an existing file is
  // overwritten.
  virtual std::string chooseSaveFile(const FileChoice& choice) = 0;
  // Asks the desktop to open a file (the manual); false when it could not.
  virtual bool openWithDesktop(const std::string& path) = 0;
};

// What the window shows changed; the view redraws from the controller.
class WindowView {
 public:
  virtual ~WindowView() = default;
  virtual void statusLineAdded(const std::string& line) = 0;
  // Caption, texts, disc panel, drive list, enabled commands.
  virtual void stateChanged() = 0;
  virtual void progressChanged() = 0;
  virtual void graphChanged() = 0;
};

}  // namespace tmx
