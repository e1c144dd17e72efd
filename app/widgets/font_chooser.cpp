#include "app/widgets/font_chooser.h"

#include "app/widgets/ui_fonts.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRawFont>
#include <QVBoxLayout>

#include <algorithm>

namespace dotforge {

namespace {
const QString kSimSun = QStringLiteral("宋体");

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
    , m_faces(new QListWidget(this))
    , m_sizes(new QListWidget(this))
    , m_sample(new QLabel(QStringLiteral("AaBb 汉字字模"), this))
{
    setObjectName(QStringLiteral("FontDlg"));
    setWindowTitle(QStringLiteral("字体"));

    m_faces->setObjectName(QStringLiteral("FontFaces"));
    m_faces->addItems(trueTypeFaces());
    m_sizes->setObjectName(QStringLiteral("FontSizes"));
    for (int pt = kMinPoints; pt <= kMaxPoints; ++pt)
        m_sizes->addItem(QString::number(pt));

    auto matching = m_faces->findItems(face, Qt::MatchFixedString);
    if (matching.isEmpty())
        matching = m_faces->findItems(kSimSun, Qt::MatchExactly);
    m_faces->setCurrentItem(matching.constFirst());
    m_sizes->setCurrentRow(std::clamp(pointSize, kMinPoints, kMaxPoints) - kMinPoints);

    auto *faceLabel = new QLabel(QStringLiteral("字体(&F):"), this);
    faceLabel->setBuddy(m_faces);
    auto *sizeLabel = new QLabel(QStringLiteral("大小(&S):"), this);
    sizeLabel->setBuddy(m_sizes);
    m_sizes->setFixedWidth(64);

    auto *sampleBox = new QGroupBox(QStringLiteral("示例"), this);
    auto *sampleLayout = new QVBoxLayout(sampleBox);
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setMinimumHeight(56);
    sampleLayout->addWidget(m_sample);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *grid = new QGridLayout(this);
    grid->addWidget(faceLabel, 0, 0);
    grid->addWidget(sizeLabel, 0, 1);
    grid->addWidget(m_faces, 1, 0);
    grid->addWidget(m_sizes, 1, 1);
    grid->addWidget(sampleBox, 2, 0, 1, 2);
    grid->addWidget(buttons, 3, 0, 1, 2);
    resize(360, 380);

    connect(m_faces, &QListWidget::currentRowChanged, this, &FontChooser::updateSample);
    connect(m_sizes, &QListWidget::currentRowChanged, this, &FontChooser::updateSample);
    connect(m_faces, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    updateSample();
}

QString FontChooser::face() const
{
    const QListWidgetItem *item = m_faces->currentItem();
    return item ? item->text() : kSimSun;
}

int FontChooser::pointSize() const
{
    return kMinPoints + std::max(0, m_sizes->currentRow());
}

void FontChooser::updateSample()
{
    m_sample->setFont(glyphFont(face().toStdString(), pointSize()));
}

} // namespace dotforge
