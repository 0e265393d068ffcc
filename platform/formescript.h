#pragma once
#include <QByteArray>
#include <QString>

/// How a script file is written: its encoding, its byte-order mark and its
/// line breaks. Saving writes a file back in the form it was read in.
struct FormeScript {
    enum Encodage { Utf8, Utf16LE, Utf16BE, Windows1252 };
    Encodage encodage = Utf8;
    bool bMarque = false;
    bool bCrLf = true;

    bool operator==(const FormeScript &autre) const
    {
        return encodage == autre.encodage && bMarque == autre.bMarque && bCrLf == autre.bCrLf;
    }
};

/// A file's bytes read as a script.
struct ScriptDecode {
    FormeScript forme;
    QString sTexte;       ///< line breaks as they were in the file
    bool bTexte = true;   ///< false: NUL bytes outside UTF-16, not a script
};

/// The form of those bytes: a byte-order mark decides; without one, UTF-8 when
/// the bytes are valid UTF-8, else Windows-1252. CR LF unless lone LFs are
/// the majority of the line breaks.
FormeScript DetecteForme(const QByteArray &octets);
/// The bytes read in their detected form.
ScriptDecode DecodeScript(const QByteArray &octets);
/// The bytes of a text (line breaks as CR LF, LF or both) in a form.
QByteArray EncodeScript(const QString &sTexte, const FormeScript &forme);
/// True when the form's encoding holds every character of the text.
bool FormePeutCoder(const FormeScript &forme, const QString &sTexte);
/// The encoding's name as the user reads it ("UTF-8", "Windows-1252"...).
QString NomEncodage(FormeScript::Encodage encodage);
