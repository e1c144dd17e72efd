#include "app/widgets/font_chooser.h"

#include "render/freetype_rasterizer.h"
#include "render/strike_sizes.h"
#include "render/widgets/ui_fonts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace dotforge {

namespace {
const QString kSimSun = QStringLiteral("宋体");
const QString kSampleText = QStringLiteral("AaBb 汉字字模");

// Item data: the face name or file path, and the strikes of a bitmap face or
// font file (pixel sizes; empty for a scalable one).
constexpr int kFaceRole = Qt::UserRole;
constexpr int kStrikesRole = Qt::UserRole + 1;

// The fonts the dialog looks into: opened on first use, kept for the run.
FreeTypeRasterizer &dialogFonts()
{
    static FreeTypeRasterizer fonts;
    return fonts;
}

std::vector<int> pixelSizesOf(const QVariantList &strikes)
{
    std::vector<int> sizes;
    for (const QVariant &strike : strikes)
        sizes.push_back(strike.toInt());
    return sizes;
}

// The width a list needs to show its widest entry whole, beside a scroll bar:
// the item view leaves a focus margin and a pixel on each side of a text.
int listWidth(const QListWidget *list)
{
    const int textMargin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    int widest = 0;
    for (int i = 0; i < list->count(); ++i)
        widest = std::max(widest, list->fontMetrics().horizontalAdvance(list->item(i)->text()));
    return widest + 2 * textMargin + 2 * list->frameWidth()
        + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
}

QString strikesText(const std::vector<int> &pixelSizes)
{
    QStringList sizes;
    for (const int px : pixelSizes)
        sizes << QString::number(px);
    return sizes.join(QStringLiteral(", ")) + QStringLiteral(" 像素");
}

// TrueType and OpenType files carry a "head" table; Type 1 and bitmap fonts do not.
bool isSfntFace(const QString &family)
{
    if (!QFontDatabase::isSmoothlyScalable(family))
        return false;
    QFont font(family);
    font.setPixelSize(16);
    const QRawFont raw = QRawFont::fromFont(font);
    return raw.isValid() && !raw.fontTable("head").isEmpty();
}
} // namespace

QStringList trueTypeFaces()
{
    static const QStringList faces = [] {
        QStringList list;
        for (const QString &family : QFontDatabase::families()) {
            if (QFontDatabase::isPrivateFamily(family) || !isSfntFace(family))
                continue;
            // A face that several foundries supply is listed as "Name [Foundry]";
            // the program names faces without the foundry.
            const qsizetype bracket = family.indexOf(QStringLiteral(" ["));
            list << (bracket > 0 ? family.left(bracket) : family);
        }
        list.sort(Qt::CaseInsensitive);
        list.removeDuplicates();
        list.removeAll(kSimSun);
        list.prepend(kSimSun);
        return list;
    }();
    return faces;
}

FontChooser::FontChooser(const QString &face, int pointSize, QWidget *parent)
    : QDialog(parent)
    , m_fonts(dialogFonts())
    , m_faces(new QListWidget(this))
    , m_sizes(new QListWidget(this))
    , m_sample(new QLabel(kSampleText, this))
    , m_wantedPoints(pointSize)
{
    setObjectName(QStringLiteral("FontDlg"));
    setWindowTitle(QStringLiteral("字体"));

    m_faces->setObjectName(QStringLiteral("FontFaces"));
    for (const QString &name : trueTypeFaces()) {
        auto *item = new QListWidgetItem(name, m_faces);
        item->setData(kFaceRole, name);
        item->setToolTip(name);
    }
    // The bitmap faces follow the scalable ones, each with its strikes.
    for (const FaceStrikes &bitmap : m_fonts.bitmapFaces())
        addBitmapOrFileItem(QString::fromStdString(bitmap.family), m_faces->count());
    m_sizes->setObjectName(QStringLiteral("FontSizes"));
    m_sample->setObjectName(QStringLiteral("FontSample"));

    QListWidgetItem *current = nullptr;
    if (isFontFilePath(face.toStdString()))
        current = addBitmapOrFileItem(face, 0);
    for (int i = 0; !current && i < m_faces->count(); ++i)
        if (m_faces->item(i)->data(kFaceRole).toString().compare(face, Qt::CaseInsensitive) == 0)
            current = m_faces->item(i);
    if (!current)
        current = m_faces->findItems(kSimSun, Qt::MatchExactly).constFirst();
    m_faces->setCurrentItem(current);

    auto *faceLabel = new QLabel(QStringLiteral("字体(&F):"), this);
    faceLabel->setBuddy(m_faces);
    auto *sizeLabel = new QLabel(QStringLiteral("大小(&S):"), this);
    sizeLabel->setBuddy(m_sizes);

    auto *sampleBox = new QGroupBox(QStringLiteral("示例"), this);
    auto *sampleLayout = new QVBoxLayout(sampleBox);
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setMinimumHeight(56);
    m_sample->setWordWrap(true);
    sampleLayout->addWidget(m_sample);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("FontOk"));
    m_ok->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    QPushButton *fromFile = buttons->addButton(QStringLiteral("从文件..."), QDialogButtonBox::ActionRole);
    fromFile->setObjectName(QStringLiteral("FontFromFile"));
    // Enter never opens the file dialog again: it means 确定.
    fromFile->setAutoDefault(false);
    connect(fromFile, &QPushButton::clicked, this, &FontChooser::chooseFile);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *grid = new QGridLayout(this);
    grid->addWidget(faceLabel, 0, 0);
    grid->addWidget(sizeLabel, 0, 1);
    grid->addWidget(m_faces, 1, 0);
    grid->addWidget(m_sizes, 1, 1);
    grid->addWidget(sampleBox, 2, 0, 1, 2);
    grid->addWidget(buttons, 3, 0, 1, 2);
    // Both lists take the room the dialog gets; the sizes are never narrower
    // than their widest entry.
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    fillSizes();
    // Wide enough for the longest face name, within half the screen. The
    // faces take three quarters of the lists' width.
    const int facesWidth = listWidth(m_faces);
    const int listsWidth = std::max(facesWidth * 4 / 3 + 4, facesWidth + m_sizes->minimumWidth());
    const QMargins margins = grid->contentsMargins();
    const int width = listsWidth + grid->horizontalSpacing() + margins.left() + margins.right();
    const int screenWidth = screen() ? screen()->availableGeometry().width() : 1024;
    resize(std::clamp(width, 360, std::max(360, screenWidth / 2)), 380);

    connect(m_faces, &QListWidget::currentRowChanged, this, &FontChooser::fillSizes);
    connect(m_sizes, &QListWidget::currentRowChanged, this, [this] {
        m_wantedPoints = this->pointSize();
        updateSample();
    });
    connect(m_faces, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    updateSample();
}

QString FontChooser::face() const
{
    const QListWidgetItem *item = m_faces->currentItem();
    return item ? item->data(kFaceRole).toString() : kSimSun;
}

int FontChooser::pointSize() const
{
    const QListWidgetItem *item = m_sizes->currentItem();
    return item ? item->data(kFaceRole).toInt() : 0;
}

// The chosen size can be drawn: any of the list for a scalable face; for a
// bitmap face a strike the batch tool would draw at that size too.
bool FontChooser::sizeUsable() const
{
    const QListWidgetItem *face = m_faces->currentItem();
    if (!face)
        return false;
    const QVariantList strikes = face->data(kStrikesRole).toList();
    if (strikes.isEmpty())
        return pointSize() >= kMinPoints && pointSize() <= kMaxPoints;
    return strikePointSize(pixelSizesOf(strikes), pointSize(), pointSize()).has_value();
}

void FontChooser::accept()
{
    if (!sizeUsable()) {
        QApplication::beep();
        return;
    }
    QDialog::accept();
}

QString FontChooser::fontFolder() const
{
    const QString current = face();
    if (isFontFilePath(current.toStdString()) && QFileInfo(QFileInfo(current).absolutePath()).isDir())
        return QFileInfo(current).absolutePath();
    // An empty folder (often /usr/local/share/fonts) holds nothing to choose.
    for (const QString &folder : QStandardPaths::standardLocations(QStandardPaths::FontsLocation))
        if (QFileInfo(folder).isDir() && !QDir(folder).isEmpty())
            return folder;
    return QDir::homePath();
}

// A bitmap face or font file as a row of the faces: its name (a file's name
// and folder) with its strikes; nullptr when it cannot be read.
QListWidgetItem *FontChooser::addBitmapOrFileItem(const QString &face, int row)
{
    const FaceStrikes strikes = m_fonts.strikes(face.toStdString());
    if (!strikes.found)
        return nullptr;
    QString text = face;
    if (isFontFilePath(face.toStdString())) {
        const QFileInfo file(face);
        text = QStringLiteral("%1 (%2)").arg(file.fileName(), file.absolutePath());
    }
    if (!strikes.scalable)
        text += QStringLiteral(" [点阵 %1]").arg(strikesText(strikes.pixelSizes));
    auto *item = new QListWidgetItem(text);
    item->setToolTip(text);
    item->setData(kFaceRole, face);
    QVariantList sizes;
    if (!strikes.scalable)
        for (const int px : strikes.pixelSizes)
            sizes << px;
    item->setData(kStrikesRole, sizes);
    m_faces->insertItem(row, item);
    return item;
}

void FontChooser::fillSizes()
{
    const QSignalBlocker blocker(m_sizes);
    m_sizes->clear();
    const QListWidgetItem *face = m_faces->currentItem();
    const QVariantList strikes = face ? face->data(kStrikesRole).toList() : QVariantList();
    int chosen = -1;
    if (strikes.isEmpty()) {
        for (int pt = kMinPoints; pt <= kMaxPoints; ++pt) {
            auto *item = new QListWidgetItem(QString::number(pt), m_sizes);
            item->setData(kFaceRole, pt);
        }
        chosen = std::clamp(m_wantedPoints, kMinPoints, kMaxPoints) - kMinPoints;
    } else {
        // A strike is chosen by its point size: one between two whole point
        // sizes (14 px) is shown but cannot be chosen. The size the batch tool
        // would take is chosen first, else the first that can be.
        const std::optional<int> preferred = strikePointSize(pixelSizesOf(strikes), std::nullopt, m_wantedPoints);
        for (const QVariant &strike : strikes) {
            const int px = strike.toInt();
            const int pt = pointSizeOfPixels(px);
            auto *item = new QListWidgetItem(
                pt > 0 ? QStringLiteral("%1 (%2 像素)").arg(pt).arg(px) : QStringLiteral("- (%1 像素)").arg(px),
                m_sizes);
            item->setData(kFaceRole, pt);
            if (pt == 0)
                item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
            else if (chosen < 0 || pt == preferred)
                chosen = m_sizes->count() - 1;
        }
    }
    // No size at all when none of the strikes can be chosen.
    m_sizes->setCurrentRow(chosen);
    m_sizes->setMinimumWidth(listWidth(m_sizes));
    updateSample();
}

void FontChooser::chooseFile()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("字体文件"), fontFolder(),
        QStringLiteral("字体文件 (*.ttf *.otf *.ttc *.otc *.bdf *.pcf *.pcf.gz);;所有文件 (*)"));
    if (!path.isEmpty())
        addFontFile(path);
    // Back in the dialog, Enter means 确定.
    if (m_ok->isEnabled())
        m_ok->setFocus(Qt::OtherFocusReason);
    else
        m_faces->setFocus(Qt::OtherFocusReason);
}

bool FontChooser::addFontFile(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (int i = 0; i < m_faces->count(); ++i) {
        if (m_faces->item(i)->data(kFaceRole).toString() == absolute) {
            m_faces->setCurrentRow(i);
            return true;
        }
    }
    QListWidgetItem *item = addBitmapOrFileItem(absolute, 0);
    if (!item) {
        QMessageBox::warning(this, QStringLiteral("字体"), QStringLiteral("无法读取字体文件 %1").arg(absolute));
        return false;
    }
    m_faces->setCurrentItem(item);
    return true;
}

// Scalable faces show the sample in Qt's drawing of the face; bitmap faces and
// font files show what the rasteriser draws, dot for dot, twice enlarged.
void FontChooser::updateSample()
{
    if (m_ok)
        m_ok->setEnabled(sizeUsable());
    const QListWidgetItem *item = m_faces->currentItem();
    const QVariantList strikes = item ? item->data(kStrikesRole).toList() : QVariantList();
    if (!strikes.isEmpty() && !hasUsableStrike(pixelSizesOf(strikes))) {
        // Nothing to show: the font cannot be drawn at any point size.
        m_sample->setPixmap(QPixmap());
        m_sample->setFont(font());
        m_sample->setText(
            QStringLiteral("不能使用此字体：%1的点阵没有整磅数的大小").arg(strikesText(pixelSizesOf(strikes))));
        return;
    }
    const bool ownDrawing
        = item && (!item->data(kStrikesRole).toList().isEmpty() || isFontFilePath(face().toStdString()));
    if (!ownDrawing) {
        m_sample->setPixmap(QPixmap());
        m_sample->setText(kSampleText);
        m_sample->setFont(glyphFont(face().toStdString(), pointSize()));
        return;
    }
    const std::string faceName = face().toStdString();
    const int px = pixelHeight(pointSize());
    const QString text = kSampleText;
    QImage image(std::max(1, int(text.size()) * px), px, QImage::Format_RGB32);
    image.fill(Qt::white);
    int x = 0;
    for (const QChar c : text) {
        Surface40 surface;
        m_fonts.drawText(surface, QString(c).toStdString(), faceName, pointSize(), 0, 0);
        for (int sy = 0; sy < std::min(px, Surface40::kSize); ++sy)
            for (int sx = 0; sx < std::min(px, Surface40::kSize) && x + sx < image.width(); ++sx)
                if (surface.pixel(sx, sy) != Surface40::kWhite)
                    image.setPixel(x + sx, sy, qRgb(0, 0, 0));
        x += c.unicode() < 0x80 ? (px + 1) / 2 : px;
    }
    image = image.copy(0, 0, std::max(1, x), px);
    m_sample->setPixmap(
        QPixmap::fromImage(image.scaled(image.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

} // namespace dotforge
