#pragma once

#include <string>
#include <utility>
#include <vector>

#include "form/controls/control.h"

namespace zrk::form {

class TabStrip : public Control {
public:
    TabStrip(std::string name, int index, Control* parent, ChangeHub& hub)
        : Control(Kind::TabStrip, std::move(name), index, parent, hub) {}

    int count() const { return static_cast<int>(captions_.size()); }
    const std::vector<std::string>& captions() const { return captions_; }
    const std::string& caption(int position) const;  // 1-based
    void setCaption(int position, std::string caption);
    void add(int position, std::string caption);  // inserts before `position`; count()+1 appends
    void remove(int position);

    int selected() const { return selected_; }  // 1-based; 0 when there is no tab
    // The operator picks a tab: selects it and raises Click.
    void select(int position);

    Event<> Click;

private:
    void checkPosition(int position, int last) const;
    std::vector<std::string> captions_;
    int selected_ = 0;
};

}  // namespace zrk::form
