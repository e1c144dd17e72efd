#include "print/widgets/page_painter.h"

#include "core/io_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinterInfo>

#include <algorithm>

namespace dotforge {

namespace {

// A PDF file is complete when its last bytes hold the end-of-file marker: a
// write that failed part-way (a full disk, a size limit) leaves it shorter.
bool completePdf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 5)
        return false;
    file.seek(std::max<qint64>(0, file.size() - 32));
    return file.readAll().contains("%%EOF");
}

// Only a regular file is ours to remove; a name the user gave may stand for
// a device.
void removeDocFile(const QString &path)
{
    if (!path.isEmpty() && QFileInfo(path).isFile())
        QFile::remove(path);
}

} // namespace

PagePainter::PagePainter(const std::string &outputDir)
    : m_outputDir(QDir(QString::fromStdString(outputDir)).absolutePath())
{
}

QPrinter &PagePainter::device() const
{
    // Made on first use: asking for the printers loads the print system's
    // libraries, which the window's start need not wait for.
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (QPrinterInfo::availablePrinterNames().isEmpty())
            m_printer->setOutputFormat(QPrinter::PdfFormat);
    }
    return *m_printer;
}

PagePainter::~PagePainter()
{
    abortDoc();
}

QString PagePainter::freshFileName() const
{
    const QDir dir(m_outputDir);
    for (int k = 1;; ++k) {
        const QString path = dir.absoluteFilePath(QStringLiteral("Dotforge-print-%1.pdf").arg(k));
        if (!QFileInfo::exists(path))
            return path;
    }
}

void PagePainter::proposeOutputFile()
{
    if (device().outputFormat() != QPrinter::PdfFormat)
        return;
    if (device().outputFileName().isEmpty() || device().outputFileName() == m_chosenFile) {
        m_chosenFile = freshFileName();
        device().setOutputFileName(m_chosenFile);
    }
}

bool PagePainter::printing() const
{
    return m_painter.isActive();
}

void PagePainter::beginDoc(const std::string &title)
{
    // A printer chosen once may be gone later: fall back to a file then too.
    if (device().outputFormat() == QPrinter::NativeFormat
        && !QPrinterInfo::printerInfo(device().printerName()).isNull()) {
        m_docFile.clear();
    } else {
        device().setOutputFormat(QPrinter::PdfFormat);
        proposeOutputFile();
        device().setResolution(kFileResolution);
        m_docFile = device().outputFileName();
    }
    device().setDocName(QString::fromStdString(title));
    if (!m_painter.begin(&device())) {
        if (m_docFile.isEmpty())
            throw IoError(0, "打印机无法开始打印");
        throw IoError(0, "无法写入打印文件 " + m_docFile.toStdString());
    }
}

int PagePainter::pageWidth() const
{
    return device().width();
}

int PagePainter::pageHeight() const
{
    return device().height();
}

void PagePainter::newPage()
{
    if (!device().newPage())
        throw IoError(0, "打印机无法换页");
}

void PagePainter::endDoc()
{
    if (!m_painter.isActive())
        return;
    if (!m_painter.end() || device().printerState() == QPrinter::Error) {
        removeDocFile(m_docFile);
        throw IoError(0, "打印未能完成");
    }
    // The painter does not see a write to the file fail.
    if (!m_docFile.isEmpty() && !completePdf(m_docFile)) {
        removeDocFile(m_docFile);
        throw IoError(0, "打印文件未能完整写入（磁盘可能已满）: " + m_docFile.toStdString());
    }
    m_lastFile = m_docFile;
}

void PagePainter::abortDoc()
{
    if (!m_painter.isActive())
        return;
    device().abort();
    m_painter.end();
    // A half-written file is no print: leave none behind.
    removeDocFile(m_docFile);
}

std::string PagePainter::outputFile() const
{
    return m_lastFile.toStdString();
}

void PagePainter::setDotTools()
{
    m_painter.setPen(QPen(Qt::black, 2));
    m_painter.setBrush(QBrush(Qt::white, Qt::SolidPattern));
}

void PagePainter::ellipse(int left, int top, int right, int bottom)
{
    m_painter.drawEllipse(QRect(left, top, right - left, bottom - top));
}

} // namespace dotforge
