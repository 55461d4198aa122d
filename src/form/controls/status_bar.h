#pragma once

#include <string>
#include <vector>

#include "form/controls/control.h"

namespace zrk::form {

class StatusBar : public Control {
public:
    // Changes: a short text of its own beside the date ("3 changes").
    enum class PanelStyle { Text, Date, Time, Changes };
    StatusBar(std::string name, int index, Control* parent, ChangeHub& hub);

    int count() const { return static_cast<int>(panels_.size()); }
    PanelStyle style(int panel) const;  // 1-based
    const std::string& text(int panel) const;
    void setText(int panel, std::string text);

private:
    struct Panel {
        PanelStyle style;
        std::string text;
    };
    Panel& at(int panel);
    const Panel& at(int panel) const;
    std::vector<Panel> panels_;
};

}  // namespace zrk::form
