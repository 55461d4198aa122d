#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace zrk::platform {

// What the procedures ask of the window system besides the main window's
// controls: message boxes, the beep, the screen.
class UserInterface {
public:
    enum class Icon { None, Information, Warning, Error };
    virtual ~UserInterface() = default;

    // Modal; returns when the operator has closed it.
    virtual void messageBox(const std::string& text, const std::string& title, Icon icon) = 0;
    virtual void beep() = 0;
    // Asks before something that changes a unit: `question` with `details`
    // below it. Enter confirms, Esc cancels. Without a window nobody is
    // asked, and the answer is yes.
    virtual bool confirm(const std::string& question, const std::string& details, const std::string& title) {
        (void)question, (void)details, (void)title;
        return true;
    }
    // Asks before something the engineer should rather not do: No is the
    // default button and Esc. Without a window the answer is no.
    virtual bool askDefaultNo(const std::string& question, const std::string& details, const std::string& title) {
        (void)question, (void)details, (void)title;
        return false;
    }
    // The colour dialog, starting at `initial` (RGB, red in the low byte).
    // Returns the colour it holds when it closes, also when cancelled.
    virtual std::int32_t chooseColor(std::int32_t initial) = 0;
    // The file dialog with one filter, e.g. ("Parametros", "*.zrk"), and a
    // second for every file under the name `allFiles` when it is not empty;
    // nothing when the operator cancels. Saving adds the filter's extension
    // to a name without one, before the dialog asks about overwriting.
    virtual std::optional<std::filesystem::path> chooseFile(bool save, const std::string& filterName,
                                                            const std::string& pattern,
                                                            const std::string& allFiles) = 0;
    // The screen's size in twips, for centring the window.
    virtual int screenWidthTwips() const = 0;
    virtual int screenHeightTwips() const = 0;
};

}  // namespace zrk::platform
