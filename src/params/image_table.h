#pragma once

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "form/field_table.h"
#include "params/image_layout.h"

namespace zrk::params {

template <typename T>
using FormControl = form::FieldAccess<T>;
using RowControl = form::FieldControl;
using form::ListPosition;

// The rules of one field of the parameter image, made from its row in the
// field table: where it lies, its control, how a read and a write convert
// it, and where a parameter file treats it otherwise.
struct ImageRow {
    int first = 0;
    int length = 1;
    // The field's name, for messages, zrkctl and the registry.
    std::string field;
    RowControl control;

    // What a read shows in a text field for the row's cells, under the given
    // sensor type (light levels); the decode sets exactly this. None for
    // lists and check boxes, which show `position` and `readState`.
    using Show = std::function<std::string(const ParameterImage&, const CodecContext&, int sensor)>;
    Show show;
    // The unit's cells to the form and back.
    std::function<void(const ParameterImage&, CodecContext&)> decode;
    std::function<void(ParameterImage&, CodecContext&)> encode;
    // Light levels are shown in the units of the sensor type chosen: the
    // same text means another threshold once the type changes.
    bool followsSensor = false;
    // List rows: the position a read selects (one below 0 selects nothing).
    ListPosition position = nullptr;
    // Check rows: the state a read takes from the cell. The unit keeps other
    // bits beside the state in some cells; a file holds the state as the
    // form shows it (0 clear, 1 set, 2 greyed) and sets it as it is.
    int (*readState)(int cell) = nullptr;

    // Where a parameter file differs from the unit.
    struct FileRules {
        // Opening a file sets the row. Not the manufacturing data and the
        // identifier number: they belong to the unit, whatever a file says.
        bool applied = true;
        // A save writes the row. Not the identifier number: a file never
        // carries a unit's identifier.
        bool saved = true;
        // The reader's own replacement of large list positions; none: the read's.
        ListPosition position = nullptr;
        // The cells are character codes the code page must know (0: none).
        bool characters = false;
        // The reader's own conversion; none: the read's.
        std::function<void(const ParameterImage&, CodecContext&)> decode{};
        // The writer's own conversion of an edited row; none: the write's.
        std::function<void(ParameterImage&, CodecContext&)> encode{};
        // A text that is no number leaves the cells 0 in the file, where a
        // write refuses it.
        bool zeroForText = false;
    } file;

    bool holdsList() const { return std::holds_alternative<FormControl<form::ComboBox>>(control); }
    bool holdsCheck() const { return std::holds_alternative<FormControl<form::CheckBox>>(control); }
    // A choice (list position, check state) is stored in a file as the form shows it.
    bool holdsChoice() const { return holdsList() || holdsCheck(); }
    // The position a file's cell selects, after the reader's own replacement.
    std::optional<int> filePosition(int cell) const {
        return (file.position != nullptr ? file.position : position)(cell);
    }
};

// Every field row, in rising address order.
const std::vector<ImageRow>& imageTable();
// The row that starts at `address`; throws std::logic_error for any other address.
const ImageRow& imageRowAt(int address);

}  // namespace zrk::params
