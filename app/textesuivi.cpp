#include "textesuivi.h"
#include "editeurriche.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

const QString &TexteSuivi::Texte(EditeurRiche *editeur)
{
    if (editeur != m_editeur) {
        if (m_editeur)
            disconnect(m_editeur->document(), nullptr, this, nullptr);
        m_editeur = editeur;
        m_bAJour = false;
        connect(editeur->document(), &QTextDocument::contentsChange, this, &TexteSuivi::Change);
    }
    if (!m_bAJour) {
        m_texte = editeur->Text();
        m_bAJour = true;
    }
    return m_texte;
}

void TexteSuivi::Change(int lPosition, int lRetires, int lAjoutes)
{
    if (!m_bAJour)
        return;
    // Breaks inside folded lines are not in the text: what a change removed
    // cannot be told from the document any more, so it is read again.
    if (m_editeur->LignesPliees()) {
        m_bAJour = false;
        return;
    }
    QTextDocument *document = m_editeur->document();
    // A change reported past the end (the whole document replaced counts its
    // last paragraph mark) is read again in full at the next call.
    if (lPosition < 0 || lRetires < 0 || lAjoutes < 0 || lPosition + lAjoutes > document->characterCount() - 1) {
        m_bAJour = false;
        return;
    }
    // The blocks before the change are as they were: its start in the CR LF
    // text is its position plus the line breaks before it.
    const int lDebut = lPosition + document->findBlock(lPosition).blockNumber();
    int lFin = lDebut;
    for (int n = 0; n < lRetires; ++n) {
        if (lFin >= m_texte.size()) {
            m_bAJour = false;
            return;
        }
        const bool bSaut = m_texte.at(lFin) == QLatin1Char('\r') && lFin + 1 < m_texte.size()
            && m_texte.at(lFin + 1) == QLatin1Char('\n');
        lFin += bSaut ? 2 : 1;
    }
    QTextCursor curseur(document);
    curseur.setPosition(lPosition);
    curseur.setPosition(lPosition + lAjoutes, QTextCursor::KeepAnchor);
    QString sAjout = curseur.selectedText();
    sAjout.replace(QChar(0x2029), QLatin1String("\r\n"));
    m_texte.replace(lDebut, lFin - lDebut, sAjout);
}
