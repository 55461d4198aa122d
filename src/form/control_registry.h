#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "form/controls.h"

namespace zrk::form {

// Owns the controls of one window and finds them by name (and index).
class ControlRegistry {
public:
    template <typename T, typename... Args>
    T& make(std::string name, int index, Control* parent, Args&&... args) {
        auto control = std::make_unique<T>(std::move(name), index, parent, hub_, std::forward<Args>(args)...);
        T& ref = *control;
        byKey_.emplace(ref.key(), &ref);
        all_.push_back(std::move(control));
        return ref;
    }

    // nullptr when there is no such control.
    Control* find(const std::string& name, int index = -1) const;
    // Throws ControlError when there is no such control.
    Control& at(const std::string& name, int index = -1) const;
    const std::vector<std::unique_ptr<Control>>& all() const { return all_; }
    ChangeHub& hub() { return hub_; }

private:
    ChangeHub hub_;
    std::vector<std::unique_ptr<Control>> all_;
    std::map<std::string, Control*> byKey_;
};

// Members of a control array, by index; index sets need not be contiguous.
template <typename T>
class ControlArray {
public:
    explicit ControlArray(std::string name) : name_(std::move(name)) {}
    const std::string& name() const { return name_; }
    T& operator()(int index) const {
        auto it = members_.find(index);
        if (it == members_.end())
            throw ControlError("No member " + std::to_string(index) + " in control array " + name_);
        return *it->second;
    }
    bool has(int index) const { return members_.count(index) != 0; }
    std::vector<int> indices() const {
        std::vector<int> out;
        for (const auto& [index, member] : members_) out.push_back(index);
        return out;
    }
    int count() const { return static_cast<int>(members_.size()); }
    void add(T& member) { members_.emplace(member.index(), &member); }

private:
    std::string name_;
    std::map<int, T*> members_;
};

}  // namespace zrk::form
