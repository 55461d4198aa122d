#include "params/image_layout.h"

#include "form/frm_main.h"
#include "params/image_table.h"
#include "params/numbers.h"

namespace zrk::params {

bool ParameterMap::ComprobarParametro(int address) const {
    const std::uint8_t mask = static_cast<std::uint8_t>(1u << (address % 8));
    return (bytes[static_cast<std::size_t>(address / 8)] & mask) == mask;
}

bool ParameterMap::empty() const {
    for (auto b : bytes)
        if (b != 0) return false;
    return true;
}

const std::vector<int>& rowAddresses() {
    static const std::vector<int> addresses = [] {
        std::vector<int> out;
        for (const auto& row : imageTable()) out.push_back(row.first);
        return out;
    }();
    return addresses;
}

std::string fieldAt(int address) {
    for (const auto& row : imageTable())
        if (address >= row.first && address < row.first + row.length) return row.field;
    return {};
}

bool carriesField(int address) { return !fieldAt(address).empty(); }

int rowLength(int address) { return imageRowAt(address).length; }

bool holdsChoice(int address) { return imageRowAt(address).holdsChoice(); }

std::string shownState(int address, const form::FrmMain& frm) {
    const ImageRow& row = imageRowAt(address);
    std::string shown;
    if (const auto* box = std::get_if<FormControl<form::TextBox>>(&row.control))
        shown = "text:" + (*box)(frm).Text();
    else if (const auto* combo = std::get_if<FormControl<form::ComboBox>>(&row.control))
        shown = "list:" + std::to_string((*combo)(frm).ListIndex());
    else if (const auto* tick = std::get_if<FormControl<form::CheckBox>>(&row.control))
        shown = "check:" + std::to_string((*tick)(frm).Value());
    if (row.followsSensor) shown += "|sensor:" + std::to_string(frm.ComboSensorLuz.ListIndex());
    return shown;
}

std::string shownStateOfCells(int address, const ParameterImage& cells, const CodecContext& context, int sensor,
                              const std::string& unchanged) {
    const ImageRow& row = imageRowAt(address);
    const std::int32_t cell = cells[static_cast<std::size_t>(address)];
    std::string shown;
    if (row.holdsList()) {
        const auto position = row.position(cell);
        if (!position || *position < 0) return unchanged;
        shown = "list:" + std::to_string(*position);
    } else if (row.holdsCheck()) {
        shown = "check:" + std::to_string(row.readState(cell));
    } else {
        shown = "text:" + row.show(cells, context, sensor);
    }
    if (row.followsSensor) shown += "|sensor:" + std::to_string(sensor);
    return shown;
}

void rememberRows(const std::vector<int>& addresses, const ParameterImage& cells, const form::FrmMain& frm,
                  LoadedFields& into) {
    for (int a : addresses) {
        const ImageRow& row = imageRowAt(a);
        LoadedFields::Row loaded{{cells.begin() + a, cells.begin() + a + row.length}, shownState(a, frm)};
        into.remember(a, std::move(loaded));
    }
}

bool rowUnchanged(int address, const CodecContext& context) {
    if (context.loaded == nullptr) return false;
    const LoadedFields::Row* loaded = context.loaded->find(address);
    return loaded != nullptr && loaded->shown == shownState(address, context.frm);
}

void decodeRow(int address, const ParameterImage& image, CodecContext& context) {
    imageRowAt(address).decode(image, context);
}

namespace {

// Runs an encoding; a refusal names the field as the context names it.
template <typename Encode>
void encodeNamed(const ImageRow& row, const CodecContext& context, Encode&& encode) {
    try {
        encode();
    } catch (const RangeError& e) {
        throw RangeError((context.nameOf ? context.nameOf(row.first) : row.field) + ": " + e.what());
    } catch (const ConversionError& e) {
        throw ConversionError((context.nameOf ? context.nameOf(row.first) : row.field) + ": " + e.what());
    }
}

}  // namespace

void encodeRow(int address, ParameterImage& image, CodecContext& context) {
    const ImageRow& row = imageRowAt(address);
    const bool keepsCells = !(context.forFile && row.holdsChoice());
    if (keepsCells && rowUnchanged(address, context)) {
        const auto& cells = context.loaded->find(address)->cells;
        for (int i = 0; i < row.length; ++i)
            image[static_cast<std::size_t>(address + i)] = cells[static_cast<std::size_t>(i)];
        return;
    }
    encodeNamed(row, context, [&] { row.encode(image, context); });
}

bool appliedFromFile(int address) { return imageRowAt(address).file.applied; }

void decodeFileRow(int address, const ParameterImage& image, CodecContext& context) {
    const ImageRow& row = imageRowAt(address);
    const std::int32_t cell = image[static_cast<std::size_t>(address)];
    if (const auto* list = std::get_if<FormControl<form::ComboBox>>(&row.control)) {
        if (const auto position = row.filePosition(cell)) (*list)(context.frm).setListIndex(*position);
    } else if (const auto* check = std::get_if<FormControl<form::CheckBox>>(&row.control)) {
        (*check)(context.frm).setValue(cell);
    } else {
        (row.file.decode ? row.file.decode : row.decode)(image, context);
    }
}

void encodeFileRow(int address, ParameterImage& image, const CodecContext& codecs) {
    const ImageRow& row = imageRowAt(address);
    if (!row.file.saved) return;
    CodecContext context = codecs;
    context.forFile = true;
    // A field left as it was loaded keeps its bytes (lists and check boxes
    // are stored as the form shows them).
    if (!rowUnchanged(address, context)) {
        if (row.file.encode) {
            encodeNamed(row, context, [&] { row.file.encode(image, context); });
            return;
        }
        if (row.file.zeroForText) {
            const auto& box = std::get<FormControl<form::TextBox>>(row.control)(context.frm);
            if (!isNumeric(box.Text(), context.numbers)) return;
        }
    }
    encodeRow(address, image, context);
}

const std::vector<int>& readDecodeOrder() {
    static const std::vector<int> order = [] {
        std::vector<int> out{41};
        for (int a : rowAddresses())
            if (a != 41) out.push_back(a);
        return out;
    }();
    return order;
}

ParameterImage encodeImage(CodecContext& context) {
    ParameterImage image{};
    for (int a : rowAddresses()) encodeRow(a, image, context);
    return image;
}

}  // namespace zrk::params
