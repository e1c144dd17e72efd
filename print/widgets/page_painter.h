#pragma once
// The printer of the print dialog: a QPrinter and the QPainter of its document.
//
// With no printer installed (or when the print set-up chose printing to a file
// without naming one) a document goes to a PDF file in the output folder,
// "Dotforge-print-<k>.pdf" with the first k that names no existing file, at
// 600 pixels per inch like a common laser printer. A file named in the print
// set-up is used as named.

#include "print/print_device.h"

#include <QPainter>
#include <QPrinter>
#include <QString>

#include <memory>

namespace dotforge {

class PagePainter : public PrintDevice {
public:
    explicit PagePainter(const std::string &outputDir);
    ~PagePainter() override;

    // The printer later prints use; the print set-up dialog changes it.
    QPrinter &printer() { return device(); }
    // Names in the printer the file the next print writes to when it goes to a
    // file the painter chooses, so that the print set-up shows that name.
    void proposeOutputFile();

    bool printing() const override;
    void beginDoc(const std::string &title) override;
    int pageWidth() const override;
    int pageHeight() const override;
    void newPage() override;
    void endDoc() override;
    void abortDoc() override;
    std::string outputFile() const override;
    void setDotTools() override;
    void ellipse(int left, int top, int right, int bottom) override;

    static constexpr int kFileResolution = 600;

private:
    QString freshFileName() const;
    QPrinter &device() const;

    mutable std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    QString m_outputDir;
    QString m_chosenFile; // the last file name this painter chose itself
    QString m_docFile; // file of the open document; empty for a printer
    QString m_lastFile; // file of the last ended document
};

} // namespace dotforge
