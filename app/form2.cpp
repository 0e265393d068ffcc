#include "form2.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

Form2::Form2(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Form2"));
    fraRetoursLigne = new QGroupBox(QStringLiteral("Retour à la ligne"), this);
    auto *colonne = new QVBoxLayout(fraRetoursLigne);
    chkRLselect = new QCheckBox(QStringLiteral("SELECT"), fraRetoursLigne);
    colonne->addWidget(chkRLselect);
    for (QCheckBox **case_ : {&Check1, &Check2, &Check3, &Check4}) {
        *case_ = new QCheckBox(QStringLiteral("FROM"), fraRetoursLigne);
        colonne->addWidget(*case_);
    }
    auto *fond = new QVBoxLayout(this);
    fond->addWidget(fraRetoursLigne);
}
