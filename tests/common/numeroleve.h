#pragma once
#include "erreurado.h"

#include <QString>
#include <functional>

/// Runs the call and returns the number of the data-access error it raised,
/// 0 when none; its description goes to pDescription when given.
inline int NumeroLeve(const std::function<void()> &appel, QString *pDescription = nullptr)
{
    try {
        appel();
    } catch (const ErreurAdo &e) {
        if (pDescription)
            *pDescription = e.Description();
        return e.Number();
    }
    return 0;
}
