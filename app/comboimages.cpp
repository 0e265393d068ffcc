#include "comboimages.h"
#include "imagelist.h"
#include "suivitouches.h"

#include <QLineEdit>
#include <QSignalBlocker>

namespace {
constexpr int kRoleCle = Qt::UserRole;
constexpr int kRoleTag = Qt::UserRole + 1;
constexpr int kRoleImage = Qt::UserRole + 2;
} // namespace

ComboImages::ComboImages(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    // Enter confirms a server name; it must not add the typed text as an entry.
    setInsertPolicy(QComboBox::NoInsert);
    setIconSize(QSize(16, 16));
    auto *suivi = new SuiviTouches(this, [this](int KeyCode, int Shift) {
        if (KeyUp)
            KeyUp(KeyCode, Shift);
    });
    suivi->Surveille(lineEdit());
    suivi->Surveille(this);
    connect(lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString &s) { emit TexteModifieParUtilisateur(s); });
    connect(this, &QComboBox::activated, this,
            [this](int) { emit TexteModifieParUtilisateur(currentText()); });
}

bool ComboImages::AjouteEntree(const QString &sCle, const QString &sTexte, int lImage,
                               const QString &sTag)
{
    if (sCle.isEmpty() || IndexCle(sCle) >= 0)
        return false;
    const QSignalBlocker bloque(this);
    const QString texte = lineEdit()->text();
    const int courant = currentIndex();
    addItem(sTexte);
    const int i = count() - 1;
    setItemData(i, sCle, kRoleCle);
    setItemData(i, sTag, kRoleTag);
    setItemData(i, lImage, kRoleImage);
    AfficheImage(i);
    // The first entry of an empty combo would otherwise become selected.
    if (courant < 0) {
        setCurrentIndex(-1);
        lineEdit()->setText(texte);
    }
    return true;
}

void ComboImages::Clear()
{
    const QSignalBlocker bloque(this);
    clear();
    lineEdit()->clear();
}

int ComboImages::IndexCle(const QString &sCle) const
{
    for (int i = 0; i < count(); ++i)
        if (itemData(i, kRoleCle).toString().compare(sCle, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool ComboImages::SelectionneCle(const QString &sCle)
{
    const int i = IndexCle(sCle);
    if (i < 0)
        return false;
    Selectionne(i);
    return true;
}

void ComboImages::Selectionne(int lIndex)
{
    const QSignalBlocker bloque(this);
    setCurrentIndex(lIndex);
}

void ComboImages::EffaceSelection()
{
    const QSignalBlocker bloque(this);
    setCurrentIndex(-1);
    lineEdit()->clear();
}

void ComboImages::SetText(const QString &sTexte)
{
    const QSignalBlocker bloque(this);
    setEditText(sTexte);
}

QString ComboImages::Cle(int lIndex) const
{
    return itemData(lIndex, kRoleCle).toString();
}

QString ComboImages::Tag(int lIndex) const
{
    return itemData(lIndex, kRoleTag).toString();
}

int ComboImages::Image(int lIndex) const
{
    return itemData(lIndex, kRoleImage).toInt();
}

QStringList ComboImages::Tags() const
{
    QStringList tags;
    for (int i = 0; i < count(); ++i)
        tags.append(Tag(i));
    return tags;
}

void ComboImages::SetImage(int lIndex, int lImage)
{
    if (lIndex < 0 || lIndex >= count())
        return;
    const QSignalBlocker bloque(this);
    setItemData(lIndex, lImage, kRoleImage);
    AfficheImage(lIndex);
}

void ComboImages::SetImageList(ImageList *imageList)
{
    m_images = imageList;
    const QSignalBlocker bloque(this);
    for (int i = 0; i < count(); ++i)
        AfficheImage(i);
}

void ComboImages::ChangeImageList(ImageList *imageList)
{
    const QStringList tags = Tags();
    SetImageList(imageList);
    if (Count() == 0 || !imageList)
        return;
    for (int i = 0; i < tags.size(); ++i) {
        try {
            SetImage(i, imageList->Index(tags.at(i)));
        } catch (const std::exception &) {
        }
    }
}

void ComboImages::AfficheImage(int lIndex)
{
    setItemIcon(lIndex, m_images ? m_images->Icone(Image(lIndex)) : QIcon());
}
