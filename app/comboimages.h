#pragma once
#include <QComboBox>
#include <QStringList>
#include <functional>

class ImageList;

/// The image combo of the connection pickers: an editable text field over a
/// list of entries, each with a key (unique, looked up without regard to
/// case), a display text, a 1-based image index into the attached icon set
/// and a tag naming the icon key the index came from.
///
/// Only the user's own edits raise TexteModifieParUtilisateur: clearing,
/// refilling or selecting from code never does.
class ComboImages : public QComboBox
{
    Q_OBJECT
public:
    explicit ComboImages(QWidget *parent = nullptr);

    /// Adds an entry at the end; false (and nothing added) when the key is
    /// empty or already present.
    bool AjouteEntree(const QString &sCle, const QString &sTexte, int lImage, const QString &sTag);
    /// Removes every entry and empties the text field.
    void Clear();
    int Count() const { return count(); }

    /// 0-based position of the entry with that key (case ignored), -1 when none.
    int IndexCle(const QString &sCle) const;
    /// Selects the entry with that key; false when there is none.
    bool SelectionneCle(const QString &sCle);
    /// Selects the entry at a 0-based position.
    void Selectionne(int lIndex);
    /// No entry selected and an empty text field.
    void EffaceSelection();

    QString Text() const { return currentText(); }
    void SetText(const QString &sTexte);

    QString Cle(int lIndex) const;
    QString Tag(int lIndex) const;
    int Image(int lIndex) const;
    /// The tags of all entries, in entry order.
    QStringList Tags() const;
    /// Sets the image index of one entry and shows its picture from the attached set.
    void SetImage(int lIndex, int lImage);

    /// Attaches an icon set (or none); pictures are redrawn from the stored indexes.
    void SetImageList(ImageList *imageList);
    ImageList *ImageListe() const { return m_images; }
    /// Attaches another set and takes each entry's index anew from its tag.
    void ChangeImageList(ImageList *imageList);

    /// Key released (virtual-key code, shift bits) for a key that went down
    /// here too: an Enter that closed a message box elsewhere is not reported.
    std::function<void(int KeyCode, int Shift)> KeyUp;

signals:
    void TexteModifieParUtilisateur(const QString &sTexte);

private:
    void AfficheImage(int lIndex);
    ImageList *m_images = nullptr;
};
