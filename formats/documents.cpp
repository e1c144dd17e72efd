#include "formats/documents.h"

#include "core/io_error.h"
#include "formats/asm.h"
#include "formats/file_io.h"
#include "formats/zmb.h"

#include <filesystem>

namespace dotforge {

namespace {

bool sameFile(const std::string &a, const std::string &b)
{
    std::error_code ec;
    return !a.empty() && !b.empty() && std::filesystem::equivalent(a, b, ec);
}

} // namespace

FileDialogSpec Documents::openDialog()
{
    return {
        "打开小汉字库文件...", "小汉字库点阵文件(*.ZMB)| *.ZMB|小汉字库汇编文件(*.ASM)|*.ASM", ".ZMB", "*.ZMB", ".", 1};
}

FileDialogSpec Documents::saveDialog()
{
    return {
        "保存小汉字库文件...", "小汉字库点阵文件(*.ZMB)|.ZMB|小汉字库汇编文件(*.ASM)|.ASM", ".ZMB", "*.ZMB", ".", 1};
}

FileType Documents::fileTypeOf(int filterIndex)
{
    return filterIndex == 2 ? FileType::ASM : FileType::ZMB;
}

std::string Documents::refusalText(const FormatError &e, const std::string &path)
{
    const std::string n = std::to_string(e.dotSize());
    const std::string zmb = "不是" + n + "点阵的小汉字库点阵文件(*.ZMB),未读入任何字模!";
    const std::string file = "\"" + path + "\"";
    switch (e.fault()) {
    case FormatError::Fault::Text:
        return file + "是文本文件,不是小汉字库点阵文件(*.ZMB),未读入任何字模!";
    case FormatError::Fault::Size:
        return file + "的长度(" + std::to_string(e.number()) + "字节)不是" + n + "点阵字模连区位码(每个"
            + std::to_string(e.dotSize() * e.dotSize() / 8 + 2) + "字节)的整数倍," + zmb;
    case FormatError::Fault::Code:
        return file + "中第" + std::to_string(e.number() + 1) + "个字模的区位码(" + e.codeHex() + ")不是字符编码,"
            + zmb;
    case FormatError::Fault::NotText:
        return file + "第" + std::to_string(e.number()) + "行含有非文本字节(" + e.codeHex()
            + "),不是小汉字库汇编文件(*.ASM),未读入任何字模!";
    }
    return file + "不是小汉字库文件,未读入任何字模!";
}

void Documents::beginOpen(const FileChoice &choice)
{
    beginSave();
    nameChosen(choice);
}

void Documents::beginSave()
{
    m_previousName = m_fileName;
    m_previousType = m_fileType;
}

void Documents::beginSaveAs()
{
    beginSave();
    m_fileName.clear();
}

void Documents::nameChosen(const FileChoice &choice)
{
    m_fileName = choice.path;
    m_fileType = fileTypeOf(choice.filterIndex);
}

void Documents::restorePrevious()
{
    m_fileName = m_previousName;
    m_fileType = m_previousType;
}

LibraryContent Documents::readZmbFile(int n, int room)
{
    m_readCutShort = false;
    InputFile file(m_fileName);
    const ReadAt readAt = [&file](std::int64_t offset, std::size_t length) { return file.readAt(offset, length); };
    checkZmb(file.size(), readAt, n);
    LibraryContent content = readZmb(file.size(), readAt, n, room);
    m_readCutShort = content.cutShort;
    return content;
}

LibraryContent Documents::readAsmFile(int n, int room)
{
    m_readCutShort = false;
    InputFile file(m_fileName);
    LineReader lines([&file](char *buffer, std::size_t max) { return file.read(buffer, max); });
    LibraryContent content = readAsm(lines, n, room);
    m_readCutShort = content.cutShort;
    return content;
}

void Documents::writeZmbFile(
    const std::vector<Sequence> &glyphs, const std::vector<std::string> &codes, const std::vector<std::string> &inUse)
{
    replace(writeZmb(glyphs, codes), inUse);
}

void Documents::writeAsmFile(const std::vector<Sequence> &glyphs, const std::vector<std::string> &codes, int n,
    const std::vector<std::string> &inUse)
{
    replace(writeAsm(glyphs, codes, n), inUse);
}

void Documents::replace(const std::string &bytes, const std::vector<std::string> &inUse)
{
    for (const std::string &path : inUse) {
        if (sameFile(m_fileName, path))
            throw IoError(ioerr::AccessDenied);
    }
    replaceFile(m_fileName, bytes);
}

} // namespace dotforge
