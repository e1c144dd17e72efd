#include "print/widgets/page_painter.h"

#include "core/io_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinterInfo>

namespace dotforge {

PagePainter::PagePainter(const std::string &outputDir)
    : m_outputDir(QDir(QString::fromStdString(outputDir)).absolutePath())
{
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        m_printer.setOutputFormat(QPrinter::PdfFormat);
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

bool PagePainter::printing() const
{
    return m_painter.isActive();
}

void PagePainter::beginDoc(const std::string &title)
{
    // A printer chosen once may be gone later: fall back to a file then too.
    if (m_printer.outputFormat() == QPrinter::NativeFormat
        && !QPrinterInfo::printerInfo(m_printer.printerName()).isNull()) {
        m_docFile.clear();
    } else {
        if (m_printer.outputFileName().isEmpty() || m_printer.outputFileName() == m_chosenFile) {
            m_chosenFile = freshFileName();
            m_printer.setOutputFileName(m_chosenFile);
        }
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setResolution(kFileResolution);
        m_docFile = m_printer.outputFileName();
    }
    m_printer.setDocName(QString::fromStdString(title));
    if (!m_painter.begin(&m_printer)) {
        if (m_docFile.isEmpty())
            throw IoError(0, "打印机无法开始打印");
        throw IoError(0, "无法写入打印文件 " + m_docFile.toStdString());
    }
}

int PagePainter::pageWidth() const
{
    return m_printer.width();
}

int PagePainter::pageHeight() const
{
    return m_printer.height();
}

void PagePainter::newPage()
{
    if (!m_printer.newPage())
        throw IoError(0, "打印机无法换页");
}

void PagePainter::endDoc()
{
    if (!m_painter.isActive())
        return;
    if (!m_painter.end()) {
        if (!m_docFile.isEmpty())
            QFile::remove(m_docFile);
        throw IoError(0, "打印未能完成");
    }
    m_lastFile = m_docFile;
}

void PagePainter::abortDoc()
{
    if (!m_painter.isActive())
        return;
    m_printer.abort();
    m_painter.end();
    // A half-written file is no print: leave none behind.
    if (!m_docFile.isEmpty())
        QFile::remove(m_docFile);
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
