#include "form/controls/tab_strip.h"

#include <cstddef>
#include <utility>

namespace zrk::form {

void TabStrip::checkPosition(int position, int last) const {
    if (position < 1 || position > last)
        throw ControlError("Invalid tab position " + std::to_string(position) + " for " + key());
}

const std::string& TabStrip::caption(int position) const {
    checkPosition(position, count());
    return captions_[static_cast<std::size_t>(position - 1)];
}

void TabStrip::setCaption(int position, std::string caption) {
    checkPosition(position, count());
    captions_[static_cast<std::size_t>(position - 1)] = std::move(caption);
    changed(Prop::Tabs);
}

void TabStrip::add(int position, std::string caption) {
    checkPosition(position, count() + 1);
    captions_.insert(captions_.begin() + (position - 1), std::move(caption));
    if (selected_ == 0)
        selected_ = 1;
    else if (selected_ >= position)
        ++selected_;  // the selected tab keeps its selection
    changed(Prop::Tabs);
    changed(Prop::SelectedTab);
}

void TabStrip::remove(int position) {
    checkPosition(position, count());
    captions_.erase(captions_.begin() + (position - 1));
    if (selected_ > position || selected_ > count())
        --selected_;
    else if (selected_ == position && count() == 0)
        selected_ = 0;
    changed(Prop::Tabs);
    changed(Prop::SelectedTab);
}

void TabStrip::select(int position) {
    checkPosition(position, count());
    selected_ = position;
    changed(Prop::SelectedTab);
    Click();
}

}  // namespace zrk::form
