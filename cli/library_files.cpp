#include "cli/library_files.h"

#include "cli/arguments.h"
#include "cli/batch_build.h"
#include "cli/c_source.h"
#include "cli/glyph_text.h"
#include "formats/asm.h"
#include "formats/bdf.h"
#include "formats/file_io.h"
#include "formats/zmb.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <limits>

namespace dotforge::cli {

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string extensionOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return lower(path.substr(dot));
}

} // namespace

std::optional<FileFormat> formatOfName(const std::string &path)
{
    const std::string ext = extensionOf(path);
    if (ext == ".zmb")
        return FileFormat::Zmb;
    if (ext == ".asm")
        return FileFormat::Asm;
    if (ext == ".c")
        return FileFormat::CSource;
    if (ext == ".h")
        return FileFormat::CHeader;
    if (ext == ".bdf")
        return FileFormat::Bdf;
    return std::nullopt;
}

FileFormat chooseFormat(
    const std::string &optionValue, const std::string &path, const std::string &optionName, bool output)
{
    std::optional<FileFormat> format;
    if (optionValue == "zmb")
        format = FileFormat::Zmb;
    else if (optionValue == "asm")
        format = FileFormat::Asm;
    else if (optionValue == "c")
        format = extensionOf(path) == ".h" ? FileFormat::CHeader : FileFormat::CSource;
    else if (optionValue == "bdf")
        format = FileFormat::Bdf;
    else if (!optionValue.empty())
        throw UsageError("invalid argument '" + optionValue + "' for '--" + optionName + "' (valid: zmb, asm"
            + (output ? ", c, bdf)" : ")"));
    else
        format = formatOfName(path);
    if (!format)
        throw UsageError("cannot tell the format of '" + path + "' from its name; use --" + optionName);
    if (!output && (*format == FileFormat::CSource || *format == FileFormat::CHeader))
        throw UsageError("'" + path + "' is C source, which cannot be read; use --" + optionName);
    if (!output && *format == FileFormat::Bdf)
        throw UsageError("'" + path + "' is a BDF font, read as a glyph source only: build --font-file " + path);
    return *format;
}


LibraryContent readLibraryFile(const std::string &path, FileFormat format, int n)
{
    // The batch tool has no library of 200: it reads every glyph of a file (the
    // file's size bounds them).
    constexpr int kNoLimit = std::numeric_limits<int>::max();
    InputFile file(path);
    try {
        if (format == FileFormat::Asm) {
            LineReader lines([&file](char *buffer, std::size_t max) { return file.read(buffer, max); });
            return readAsm(lines, n, kNoLimit);
        }
        const std::int64_t size = file.size();
        const ReadAt readAt = [&file](std::int64_t offset, std::size_t length) { return file.readAt(offset, length); };
        // The window refuses the same files.
        checkZmb(size, readAt, n);
        return readZmb(size, readAt, n, kNoLimit);
    } catch (const FormatError &e) {
        const bool text = e.fault() == FormatError::Fault::Text || e.fault() == FormatError::Fault::NotText;
        throw InputError(
            path + ": " + e.what() + "; nothing is read. " + (text ? "Is --format right?" : "Is --size right?"));
    }
}

std::string libraryFileBytes(const LibraryContent &content, FileFormat format, int n, Mode mode,
    const std::string &name, const std::vector<std::string> &buildNote)
{
    switch (format) {
    case FileFormat::Zmb:
        return writeZmb(content.glyphs, content.codes);
    case FileFormat::Asm:
        return writeAsm(content.glyphs, content.codes, n);
    case FileFormat::CSource:
        return cSource(content, n, mode, name, buildNote);
    case FileFormat::CHeader:
        return cHeader(content.glyphs.size(), n, mode, name, buildNote);
    case FileFormat::Bdf: {
        std::vector<GlyphPlane> planes;
        for (const Sequence &glyph : content.glyphs)
            planes.push_back(fromFileOrder(glyph, n, mode));
        return writeBdf(planes, content.codes, n, name);
    }
    }
    return {};
}

std::string ioErrorText(const IoError &error)
{
    return error.code() == ioerr::NotRegularFile ? "not a regular file (a device, pipe or socket)" : error.what();
}

std::string writeFailure(const std::string &path, const IoError &error)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (error.code() == ioerr::FileNotFound && !folder.empty() && !std::filesystem::is_directory(folder, ec))
        return "there is no folder " + folder.string();
    return ioErrorText(error);
}

} // namespace dotforge::cli
