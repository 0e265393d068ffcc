#pragma once
#include <QWidget>

class QCheckBox;
class QGroupBox;

/// A window of the project that nothing loads or shows: a frame of line-break
/// check boxes, kept with the project.
class Form2 : public QWidget
{
    Q_OBJECT
public:
    explicit Form2(QWidget *parent = nullptr);

    QGroupBox *fraRetoursLigne = nullptr;
    QCheckBox *chkRLselect = nullptr;
    QCheckBox *Check1 = nullptr;
    QCheckBox *Check2 = nullptr;
    QCheckBox *Check3 = nullptr;
    QCheckBox *Check4 = nullptr;
};
