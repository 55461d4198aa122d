#pragma once

#include <filesystem>

#include "files/parameter_file.h"
#include "state/state.h"

namespace zrk::ops {

// Opening and saving parameter files: a file's content onto the form, the
// form into a file, and the Open and Save buttons.

// Applies a checked file: the flash table, grid and colours first, then the
// fields (the light-sensor type before the lux fields). The identifier and
// the manufacturing fields keep what they show.
void applyParameterFile(state::State& state, const files::ParameterFileContent& content);

// The image a save writes: encoded from the form with the file's own rules.
// May correct the form (as encoding does) and throws params::ConversionError.
params::ParameterImage imageForFile(state::State& state);
// Writes the file atomically, with the status texts of every line; throws FileError.
void writeParameterFile(state::State& state, const params::ParameterImage& image, const std::filesystem::path& path);

// Without dialogs: read, check against the form and apply / encode and write.
// A file opened with no unit bound shows every field it carries, read-only
// (ops::showFileWithoutUnit).
// Throw ParameterFileError, FileError or params::ConversionError; on any of
// them nothing was changed (apart from the encoding's corrections of a save).
void openParameterFile(state::State& state, const std::filesystem::path& path);
void saveParameterFile(state::State& state, const std::filesystem::path& path);

// The buttons: a file dialog ("Parametros", *.zrk), cancel ends silently,
// a failure is a message box.
void GuardarArchivoZRK(state::State& state);
void AbrirArchivoZRK(state::State& state);
void CGuardar_Click(state::State& state);
void CAbrir_Click(state::State& state);

}  // namespace zrk::ops
