#include "model_probe.h"

#include <stdexcept>

#include "tables/flash_table.h"

namespace zrk::test {
namespace {
std::string join(const std::vector<std::string>& items) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? "|" : "") + items[i];
    return out;
}
}  // namespace

std::string probe(const form::Control& c, const std::string& property) {
    using namespace form;
    if (property == "Visible") return c.Visible() ? "1" : "0";
    if (property == "Enabled") return c.Enabled() ? "1" : "0";
    if (property == "Caption") {
        if (auto* x = dynamic_cast<const CaptionedControl*>(&c)) return x->Caption();
    }
    if (property == "Text") {
        if (auto* x = dynamic_cast<const TextBox*>(&c)) return x->Text();
        if (auto* x = dynamic_cast<const ComboBox*>(&c)) return x->Text();
    }
    if (auto* x = dynamic_cast<const ComboBox*>(&c)) {
        if (property == "ListIndex") return std::to_string(x->ListIndex());
        if (property == "Items") return join(x->items());
    }
    if (auto* x = dynamic_cast<const CheckBox*>(&c); x && property == "Value") return std::to_string(x->Value());
    if (auto* x = dynamic_cast<const TimerControl*>(&c); x && property == "Interval")
        return std::to_string(x->Interval());
    if (auto* x = dynamic_cast<const TabStrip*>(&c)) {
        if (property == "Tabs") return join(x->captions());
        if (property == "SelectedTab") return std::to_string(x->selected());
    }
    if (auto* x = dynamic_cast<const StatusBar*>(&c); x && property == "Panel1") return x->text(1);
    throw std::invalid_argument("no property " + property + " on " + c.key());
}

std::map<std::string, std::string> snapshot(const app::Program& p) {
    std::map<std::string, std::string> out;
    for (const auto& c : p.state.frm.controls().all()) {
        out[c->key() + ".Visible"] = c->Visible() ? "1" : "0";
        for (const char* prop : {"Text", "ListIndex", "Value", "Caption", "Tabs"}) {
            try {
                out[c->key() + "." + prop] = probe(*c, prop);
            } catch (const std::invalid_argument&) {
            }
        }
    }
    for (int row = 0; row <= tables::kPatternRows; ++row) {
        out["color" + std::to_string(row)] = std::to_string(p.state.flash.color(row));
        for (int col = 0; col <= tables::kPatternColumns; ++col) {
            const std::string cell = std::to_string(row) + "," + std::to_string(col);
            out["pauta" + cell] = std::to_string(p.state.flash.pauta(row, col));
            out["grid" + cell] = p.state.frm.MSFlexGridPautas.TextMatrix(row, col);
        }
    }
    return out;
}

}  // namespace zrk::test
