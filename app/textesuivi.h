#pragma once
#include <QObject>
#include <QString>

class EditeurRiche;

/// The whole text of an editor, line breaks as CR LF, kept up to date from
/// each change of its document: a request on a long script then reads it
/// without building it again, which costs in proportion to the script.
class TexteSuivi : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    /// Returns what editeur->Text() returns, from the changes since the last call.
    const QString &Texte(EditeurRiche *editeur);

private:
    void Change(int lPosition, int lRetires, int lAjoutes);

    EditeurRiche *m_editeur = nullptr;
    QString m_texte;
    bool m_bAJour = false;
};
