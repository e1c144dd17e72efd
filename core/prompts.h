#pragma once
// Everything the commands ask of the user or show to the user goes through this
// one interface: message boxes, the common dialogs, the beep, help and About.
// The window injects the Qt version; tests inject a scripted one.

#include <optional>
#include <string>

namespace dotforge {

// Warning ("警告", warning icon), confirmation ("确认", question icon) and
// error ("错误", error icon) boxes.
enum class BoxKind { Warning, Confirmation, Error };

enum class Answer { Yes, No, Cancel, Ok };

// Button sets of the program's boxes.
enum class Buttons { Ok, YesNo, YesNoCancel };

// A file dialog as the commands set it up. `filter` is the dialog's filter text
// ("description|pattern|description|pattern"); the chosen entry is read back,
// counted from 1.
struct FileDialogSpec {
    std::string title;
    std::string filter;
    std::string defaultExt; // ".ZMB"
    std::string fileName; // "*.ZMB"
    std::string initialDir; // "."
    int filterIndex = 1;
};

struct FileChoice {
    std::string path;
    int filterIndex = 1;
};

struct FontChoice {
    std::string face;
    int pointSize = 12;
};

class Prompts {
public:
    virtual ~Prompts() = default;

    // A modal box of the given kind; returns the button pressed. Closing the
    // box answers Cancel where it has one, otherwise No, otherwise OK.
    virtual Answer ask(BoxKind kind, const std::string &text, Buttons buttons) = 0;
    // A plain message, titled with the application title, button "确定".
    virtual void message(const std::string &text) = 0;
    // The default error handler's box: stop icon, "Dotforge" caption, OK. The
    // text arrives complete (full stop already applied).
    virtual void showError(const std::string &text) = 0;
    virtual void beep() = 0;

    // Open dialog: the file and its folder must exist. Empty when cancelled.
    virtual std::optional<FileChoice> openFile(const FileDialogSpec &spec) = 0;
    // Save dialog: asks before overwriting an existing file. Empty when cancelled.
    virtual std::optional<FileChoice> saveFile(const FileDialogSpec &spec) = 0;
    // An installed face (12 to 28 points when scalable, the point size of a
    // strike for a bitmap face) or the absolute path of a font file. Empty when
    // cancelled.
    virtual std::optional<FontChoice> chooseFont(const std::string &face, int pointSize) = 0;

    virtual void showHelp(const std::string &helpFile) = 0;
    virtual void showAbout(const std::string &text) = 0;
};

} // namespace dotforge
