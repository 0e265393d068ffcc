#pragma once
#include <QString>
#include <cstdint>
#include <exception>
#include <string>

/// The error every data-access operation raises: a signed 32-bit number, as
/// the original data-access platform numbers the condition, and a text.
/// The numbers themselves are gathered in codeserreurs.h.
class ErreurAdo : public std::exception
{
public:
    ErreurAdo(int32_t lNumber, const QString &sDescription)
        : m_number(lNumber), m_description(sDescription), m_what(sDescription.toStdString()) {}
    int32_t Number() const { return m_number; }
    QString Description() const { return m_description; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    int32_t m_number;
    QString m_description;
    std::string m_what;
};
