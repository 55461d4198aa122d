#include "files/parameter_file.h"

#include <sstream>

#include "files/user_file.h"
#include "files/path_text.h"

#include <cerrno>
#include <fstream>
#include <limits>
#include <system_error>

#include "app/program.h"
#include "files/atomic_file.h"
#include "params/codepage.h"
#include "params/numbers.h"

namespace zrk::files {
namespace {

using params::ParameterImage;

constexpr int kRows = tables::kPatternRows;
constexpr int kColumns = tables::kPatternColumns;
constexpr int kIdentFirst = 231, kIdentLast = 246;

// Numbers in status texts carry a blank where a sign would stand.
std::string signedText(int n) { return n >= 0 ? " " + std::to_string(n) : std::to_string(n); }

std::string lineText(std::int32_t value) { return std::to_string(value) + "\r\n"; }

// A line as the message shows it: printable text quoted, anything else described.
std::string shownText(const std::string& line) {
    if (line.size() > 24) return "the text there";
    for (unsigned char ch : line)
        if (ch < 0x20 || ch > 0x7E) return "the text there";
    return "\"" + line + "\"";
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Lines one by one, never more than kMaxLineLength characters of one in memory.
class LineReader {
public:
    enum class Got { Line, End, TooLong, ReadError };
    explicit LineReader(std::istream& in) : in_(in) {}

    Got next(std::string& line) {
        line.clear();
        bool any = false;
        for (;;) {
            if (pos_ == len_) {
                if (end_) return any ? Got::Line : Got::End;
                in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
                len_ = static_cast<std::size_t>(in_.gcount());
                pos_ = 0;
                if (in_.bad()) return Got::ReadError;
                if (!in_) end_ = true;
                continue;
            }
            const char ch = buffer_[pos_++];
            any = true;
            if (ch == '\n') break;
            // One more than the limit, for the CR of a CR LF.
            if (line.size() > kMaxLineLength) return Got::TooLong;
            line.push_back(ch);
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line.size() > kMaxLineLength ? Got::TooLong : Got::Line;
    }

private:
    std::istream& in_;
    std::array<char, 4096> buffer_{};
    std::size_t len_ = 0, pos_ = 0;
    bool end_ = false;
};

const char* const kRange = " (a parameter file holds numbers from -2147483648 to 2147483647)";

std::int32_t wholeNumber(const std::string& line, const std::string& file, int lineNumber) {
    const std::string text = trimmed(line);
    if (text.empty()) throw ParameterFileError(file, lineNumber, "the line is empty where a whole number belongs");
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) throw ParameterFileError(file, lineNumber, shownText(line) + " is not a whole number");
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch < '0' || ch > '9') throw ParameterFileError(file, lineNumber, shownText(line) + " is not a whole number");
        magnitude = magnitude * 10 + (ch - '0');
        if (magnitude > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1)
            throw ParameterFileError(file, lineNumber, shownText(line) + " is too large" + kRange);
    }
    const std::int64_t value = text[0] == '-' ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max())
        throw ParameterFileError(file, lineNumber, shownText(line) + " is too large" + kRange);
    return static_cast<std::int32_t>(value);
}

// Whether the lenient reading finds a number at the start of the line, and
// not just the 0 it gives for any other text.
bool startsWithNumber(const std::string& line) {
    std::string text;
    for (char ch : line)
        if (ch != ' ' && ch != '\t' && ch != '\n') text.push_back(ch);
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (i < text.size() && text[i] == '.') ++i;
    if (i < text.size() && text[i] >= '0' && text[i] <= '9') return true;
    return text.size() >= 3 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h' || text[1] == 'O' || text[1] == 'o');
}

// A table entry of run 2: an angle from 0 to 360, or empty. Zero is the
// most common start angle of a sector, so it is an angle like any other;
// a line that holds no number at all is no angle.
std::int32_t fileAngle(const std::string& line) {
    if (!startsWithNumber(line)) return tables::kEmptyAngle;
    const double v = params::lenientNumber(line);
    if (!(v >= -0.5 && v <= 360.5)) return tables::kEmptyAngle;
    const std::int32_t angle = params::roundToInt32(v, "angle");
    return angle >= 0 && angle <= 360 ? angle : tables::kEmptyAngle;
}

// The lines that describe one field row, for messages.
std::string linesOf(int address, int length) {
    return length == 1 ? std::to_string(address + 1)
                       : std::to_string(address + 1) + " to " + std::to_string(address + length);
}

// The lists the file sets, with the reader's own replacement of large values.
struct ListRule {
    int address;
    const char* field;
    std::optional<int> (*position)(int value);  // nothing: leave the list as it is
};
const ListRule kListRules[] = {
    {27, "ComboTipoCambiador", [](int v) -> std::optional<int> { return v >= 0 && v <= 7 ? std::optional<int>(v) : std::nullopt; }},
    {38, "ComboTipoLampara1", [](int v) -> std::optional<int> { return v > 1 ? 1 : v; }},
    {39, "ComboTipoLampara2", [](int v) -> std::optional<int> { return v > 1 ? 1 : v; }},
    {40, "ComboLamparaPrincipal", [](int v) -> std::optional<int> { return v > 2 ? 2 : v; }},
    {41, "ComboSensorLuz", [](int v) -> std::optional<int> { return v > 2 ? 2 : v; }},
    {46, "ComboFuncion2Puerto", [](int v) -> std::optional<int> { return v > 2 ? 2 : v; }},
    {50, "ComboTipoMotor", [](int v) -> std::optional<int> { return v > 3 ? 1 : v; }},
    {55, "cmbModofuncionamiento", [](int v) -> std::optional<int> { return v > 0 ? 1 : v; }},
    {63, "cmbTipoSensorLampara", [](int v) -> std::optional<int> { return v > 2 ? 0 : v; }},
};

struct CheckRule {
    int address;
    const char* field;
};
const CheckRule kCheckRules[] = {
    {54, "CheckBalizaEmergencia"}, {61, "chkEnableDisableFalloRotacion"}, {62, "chkHibernacionMotor"}};

const ListRule* listRuleAt(int address) {
    for (const auto& rule : kListRules)
        if (rule.address == address) return &rule;
    return nullptr;
}
const CheckRule* checkRuleAt(int address) {
    for (const auto& rule : kCheckRules)
        if (rule.address == address) return &rule;
    return nullptr;
}

// Field rows the reader applies: the image rows without the manufacturing
// data and the identifier, which a file never sets.
bool applied(int address) { return address < 247; }

}  // namespace

ParameterFileError::ParameterFileError(std::string file, int line, std::string problem)
    : std::runtime_error("Cannot open the parameter file " + file + ".\n" +
                         (line > 0 ? "Line " + std::to_string(line) + ": " : std::string()) + problem +
                         ".\nNothing was changed.") {}

std::string describe(const ParameterFileError& error) { return error.what(); }

std::string formatParameterFile(const ParameterImage& image, const tables::FlashTable& flash) {
    std::string text;
    text.reserve(kParameterFileLines * 8);
    for (std::int32_t value : image) text += lineText(value);
    for (int row = 1; row <= kRows; ++row) {
        text += lineText(flash.color(row));
        for (int col = 1; col <= kColumns; ++col) text += lineText(flash.pauta(row, col));
    }
    return text;
}

ParameterFileContent parseParameterFile(std::istream& in, const std::string& file,
                                        const std::function<void(int)>& afterPosition) {
    ParameterFileContent content;
    LineReader reader(in);
    std::string line;
    int number = 0;
    auto nextLine = [&] {
        switch (reader.next(line)) {
            case LineReader::Got::Line: ++number; return;
            case LineReader::Got::End:
                throw ParameterFileError(file, number + 1,
                                         "the file ends after line " + std::to_string(number) + ", but a parameter file has " +
                                             std::to_string(kParameterFileLines) + " lines");
            case LineReader::Got::TooLong:
                throw ParameterFileError(file, number + 1,
                                         "the line is longer than " + std::to_string(kMaxLineLength) +
                                             " characters; this is no parameter file");
            case LineReader::Got::ReadError:
                throw ParameterFileError(file, number + 1, "the file could not be read from here on");
        }
    };
    for (int position = 0; position < kImageLines; ++position) {
        nextLine();
        content.image[static_cast<std::size_t>(position)] = wholeNumber(line, file, number);
        if (afterPosition) afterPosition(position);
    }
    for (std::size_t row = 0; row < kRows; ++row) {
        nextLine();
        try {
            content.colors[row] = params::roundToInt32(params::lenientNumber(line), "colour");
        } catch (const params::ConversionError&) {
            throw ParameterFileError(file, number, "the colour " + shownText(line) + " is too large" + kRange);
        }
        for (std::size_t col = 0; col < kColumns; ++col) {
            nextLine();
            content.angles[row][col] = fileAngle(line);
        }
    }
    return content;
}

ListSizes listSizesOf(const app::FrmMain& frm) {
    return [&frm](const std::string& field) {
        return dynamic_cast<const app::ComboBox&>(frm.controls().at(field)).ListCount();
    };
}

void checkParameterFile(const ParameterFileContent& content, const std::string& file, const ListSizes& lists) {
    const auto& m = content.image;
    auto cell = [&](int a) { return std::int64_t{m[static_cast<std::size_t>(a)]}; };
    for (int a : params::rowAddresses()) {
        if (!applied(a)) continue;
        const std::string field = params::fieldAt(a);
        const int length = params::rowLength(a);
        if (length == 2 || length == 3) {
            // The value is put together in 32 bits: every step has to fit.
            const std::int64_t limitLow = std::numeric_limits<std::int32_t>::min();
            const std::int64_t limitHigh = std::numeric_limits<std::int32_t>::max();
            auto fits = [&](std::int64_t v) { return v >= limitLow && v <= limitHigh; };
            std::int64_t v = 0;
            bool ok = true;
            for (int i = 0; i < length && ok; ++i) {
                const std::int64_t term = cell(a + i) * (std::int64_t{1} << (8 * (length - 1 - i)));
                ok = fits(term) && fits(v + term);
                v += term;
            }
            if (!ok)
                throw ParameterFileError(file, a + 1,
                                         "the value of " + field + " (lines " + linesOf(a, length) +
                                             ") does not fit in 32 bits");
        }
        if (const ListRule* rule = listRuleAt(a)) {
            const std::int64_t value = cell(a);
            const auto position = rule->position(static_cast<int>(value));
            if (!position) continue;
            const int count = lists(rule->field);
            if (*position < -1 || *position >= count)
                throw ParameterFileError(file, a + 1,
                                         std::to_string(value) + " is no choice of " + rule->field + " (it takes -1 for none, or 0 to " +
                                             std::to_string(count - 1) + ")");
        }
        if (const CheckRule* rule = checkRuleAt(a)) {
            if (cell(a) < 0 || cell(a) > 2)
                throw ParameterFileError(file, a + 1,
                                         std::to_string(cell(a)) + " is no state of the check box " + rule->field +
                                             " (0 clear, 1 set, 2 greyed)");
        }
    }
    for (int a = kIdentFirst; a <= kIdentLast; ++a) {
        const std::int64_t code = cell(a);
        if (code == 0) continue;  // no visible character, as on a read
        if (code < 0 || code > 255 || !params::characterOfCode(static_cast<std::uint8_t>(code)))
            throw ParameterFileError(file, a + 1,
                                     std::to_string(code) + " is no character of the identification TIdentificacion");
    }
}

std::string cannotReadProblem(const std::error_code& error) {
    if (error == std::errc::permission_denied) return "you may not read it (permission denied)";
    if (error == std::errc::no_such_file_or_directory) return "it does not exist";
    if (error == std::errc::is_a_directory) return "it is a folder, not a file";
    return "it cannot be read (" + error.message() + ")";
}

ParameterFileContent readParameterFile(const std::filesystem::path& path, const std::function<void(int)>& afterPosition) {
    const std::string name = utf8(path);
    std::string content;
    try {
        content = readUserFile(path);
    } catch (const UserFileError& e) {
        throw ParameterFileError(name, 0, e.problem());
    }
    std::istringstream in(content);
    return parseParameterFile(in, name, afterPosition);
}

namespace {

// What the opened fields were loaded with: the file's cells, so that writing
// the file unedited sends exactly what it holds (a copy saved before a write
// puts the unit back as it was). Cells that are no bytes cannot be sent as
// they are; such a field is encoded from what it shows.
void rememberFileCells(app::Program& p, const ParameterImage& cells, const std::vector<int>& rows) {
    for (int a : rows) {
        bool bytes = true;
        for (int i = 0; i < params::rowLength(a); ++i) {
            const std::int32_t cell = cells[static_cast<std::size_t>(a + i)];
            bytes = bytes && cell >= 0 && cell <= 255;
        }
        if (bytes)
            params::rememberRows({a}, cells, p.frm, p.loaded);
        else
            p.loaded.forget(a);
    }
}

}  // namespace

void applyParameterFile(app::Program& p, const ParameterFileContent& content) {
    auto& frm = p.frm;
    auto& grid = frm.MSFlexGridPautas;
    // The edit in progress in the current cell ends before the file replaces
    // every cell. Applied afterwards, the rule would empty a 360 or an angle
    // beside an empty cell there and keep the entry hidden behind it.
    tables::MSFlexGridPautas_LeaveCell(frm, p.flash);
    for (int row = 1; row <= kRows; ++row) {
        p.flash.color(row) = content.colors[static_cast<std::size_t>(row - 1)];
        for (int col = 1; col <= kColumns; ++col) {
            const std::int32_t angle = content.angles[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col - 1)];
            grid.setTextMatrix(row, col, angle == tables::kEmptyAngle ? "" : tables::formatAngle(angle));
            p.flash.pauta(row, col) = angle;
        }
    }
    tables::RellenarColores(frm, p.flash);
    frm.setStatus("Ended");

    params::CodecContext context = p.codecs();
    const auto& m = content.image;
    // The sensor type first: the lux fields are shown in its units.
    std::vector<int> order{41};
    for (int a : params::rowAddresses())
        if (a != 41 && applied(a)) order.push_back(a);
    for (int a : order) {
        if (const ListRule* rule = listRuleAt(a)) {
            if (const auto position = rule->position(m[static_cast<std::size_t>(a)]))
                dynamic_cast<app::ComboBox&>(frm.controls().at(rule->field)).setListIndex(*position);
        } else if (const CheckRule* rule = checkRuleAt(a)) {
            dynamic_cast<app::CheckBox&>(frm.controls().at(rule->field)).setValue(m[static_cast<std::size_t>(a)]);
        } else if (a == 57) {
            // No limit at 999 here, unlike a read.
            frm.txtTiempoDe.setText(std::to_string(m[57] * 256 + m[58]));
        } else {
            params::decodeRow(a, m, context);
        }
        if (a == params::kDecodeYieldAfter) p.platform.events.processEvents();
    }
    rememberFileCells(p, content.image, order);
    p.platform.events.processEvents();
}

void openParameterFile(app::Program& p, const std::filesystem::path& path) {
    try {
        const auto content = readParameterFile(path, [&p](int position) { p.frm.setStatus(signedText(position)); });
        checkParameterFile(content, utf8(path), listSizesOf(p.frm));
        applyParameterFile(p, content);
    } catch (const ParameterFileError&) {
        p.frm.setStatus(p.CargarTexto(3308));
        throw;
    }
}

ParameterImage imageForFile(app::Program& p) {
    ParameterImage image{};
    params::CodecContext context = p.codecs();
    context.forFile = true;
    auto& frm = p.frm;
    for (int a : params::rowAddresses()) {
        if (a == 254) continue;  // a file never carries a unit's identifier
        // A field left as it was loaded keeps its bytes (lists and check
        // boxes are stored as the form shows them).
        if (params::rowUnchanged(a, context)) {
            params::encodeRow(a, image, context);
            continue;
        }
        if (a == 56) {
            const std::string text = frm.txtAtenuacionNocturna.Text();
            if (!params::isNumeric(text, p.platform.numbers)) continue;
            const double value = params::lenientNumber(text);
            if (value > 255) {
                frm.txtAtenuacionNocturna.setText("100");
                image[56] = 100;
            } else {
                image[56] = params::roundToInt32(value, "txtAtenuacionNocturna");
                if (image[56] < 0)
                    throw params::ConversionError("txtAtenuacionNocturna: " +
                                                  texts::fill(p.CargarTexto(3000), {text, "0", "255"}));
            }
            continue;
        }
        if (a == 64 || a == 66) {
            const auto& field = dynamic_cast<const app::TextBox&>(frm.controls().at(params::fieldAt(a)));
            if (!params::isNumeric(field.Text(), p.platform.numbers)) continue;
        }
        params::encodeRow(a, image, context);
    }
    return image;
}

void writeParameterFile(app::Program& p, const ParameterImage& image, const std::filesystem::path& path) {
    const std::string text = formatParameterFile(image, p.flash);
    AtomicFile file(path);
    std::size_t start = 0;
    for (int line = 0; line < kParameterFileLines; ++line) {
        const std::size_t end = text.find('\n', start) + 1;
        file.write(std::string_view(text).substr(start, end - start));
        start = end;
        if (line < kImageLines)
            p.frm.setStatus(signedText(line));
        else if ((line - kImageLines + 1) % (1 + kColumns) == 0)
            p.frm.setStatus(signedText((line - kImageLines + 1) / (1 + kColumns)));
    }
    file.commit();
    p.frm.setStatus(" Saved file");
}

void saveParameterFile(app::Program& p, const std::filesystem::path& path) {
    writeParameterFile(p, imageForFile(p), path);
}

namespace {

void failure(app::Program& p, const std::string& text) {
    p.platform.ui.messageBox(text, p.platform.info.title, platform::UserInterface::Icon::Error);
}

}  // namespace

void GuardarArchivoZRK(app::Program& p) {
    ParameterImage image{};
    try {
        image = imageForFile(p);
    } catch (const params::ConversionError& e) {
        p.frm.setStatus(p.CargarTexto(3309));
        failure(p, texts::fill(p.CargarTexto(3310), {e.what()}));
        return;
    }
    const auto chosen = p.platform.ui.chooseFile(true, "Parametros", "*.zrk");
    if (!chosen) return;
    try {
        writeParameterFile(p, image, *chosen);
    } catch (const FileError& e) {
        p.frm.setStatus(p.CargarTexto(3309));
        failure(p, e.what());
    }
}

void AbrirArchivoZRK(app::Program& p) {
    const auto chosen = p.platform.ui.chooseFile(false, "Parametros", "*.zrk");
    if (!chosen) return;
    try {
        openParameterFile(p, *chosen);
    } catch (const ParameterFileError& e) {
        failure(p, describe(e));
    }
}

void CGuardar_Click(app::Program& p) { GuardarArchivoZRK(p); }
void CAbrir_Click(app::Program& p) { AbrirArchivoZRK(p); }

void wireParameterFiles(app::Program& p) {
    p.frm.CGuardar.Click = [&p] { CGuardar_Click(p); };
    p.frm.CAbrir.Click = [&p] { CAbrir_Click(p); };
}

}  // namespace zrk::files
