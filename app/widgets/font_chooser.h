#pragma once
// The font dialog: the installed TrueType and OpenType faces and the sizes
// 12 to 28 points, with a sample.

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;

namespace dotforge {

// Faces the dialog offers: "宋体" (substituted on this system) first, then every
// installed scalable face that is TrueType or OpenType, sorted.
QStringList trueTypeFaces();

class FontChooser : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinPoints = 12;
    static constexpr int kMaxPoints = 28;

    FontChooser(const QString &face, int pointSize, QWidget *parent = nullptr);

    QString face() const;
    int pointSize() const;

private:
    void updateSample();

    QListWidget *m_faces;
    QListWidget *m_sizes;
    QLabel *m_sample;
};

} // namespace dotforge
