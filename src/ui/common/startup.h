#pragma once
// What every program of the tool set does before its first window.
class QApplication;

namespace sheaf::ui {

// Japanese fonts for the stored font names, Qt's own Japanese texts for the
// standard buttons and dialogs, the icon theme of the tool bars, and writes
// past a file size limit reported as failures instead of killing the program.
void prepareApplication(QApplication& app);

} // namespace sheaf::ui
