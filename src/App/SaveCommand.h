// Saving the current arrangement as a kest: the permission check, the two preview
// thumbnails, the dialog for a name and a scope, the capture, a new kest or the overwrite
// of one of the same name, the save with its rollback, and what follows a save. One save
// at a time: asking again while one runs only brings its dialog forward.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "UI/Shell/SaveDialog.h"

namespace kestr {

class SaveCommand {
public:
    // Shows the dialog and returns once it is dismissed; none when cancelled. The real
    // dialog unless a test answers in its place.
    std::function<std::optional<SaveDialog::Result>(const SaveDialog::Request&)> presentDialog = SaveDialog::run;
    // Brings the dialog that is up forward.
    std::function<void()> bringDialogForward = SaveDialog::raiseCurrent;
    // After a successful save: refresh what shows the kests, and flash the saved icon.
    std::function<void()> rebuildMenu;
    std::function<void()> flashSaved;

    void run();
    bool running() const { return running_; }

private:
    void askForPermission();
    void store(const SaveDialog::Result& choice, const std::optional<std::string>& anchorUUID);

    bool running_ = false;
};

}  // namespace kestr
