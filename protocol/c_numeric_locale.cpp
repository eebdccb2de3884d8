#include "protocol/c_numeric_locale.h"

#include <QtGlobal>

#include <clocale>

#ifdef Q_OS_WIN
#include <cstring>
#include <locale.h>

CNumericLocale::CNumericLocale()
{
    m_previousMode = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    if (const char* current = setlocale(LC_NUMERIC, nullptr))
        m_previous = _strdup(current);
    setlocale(LC_NUMERIC, "C");
}

CNumericLocale::~CNumericLocale()
{
    if (m_previous) {
        setlocale(LC_NUMERIC, static_cast<const char*>(m_previous));
        free(m_previous);
    }
    _configthreadlocale(m_previousMode);
}

#else
#include <locale.h>

CNumericLocale::CNumericLocale()
{
    const locale_t current = uselocale(locale_t(nullptr));
    const locale_t base = duplocale(current);
    if (!base)
        return;
    const locale_t c = newlocale(LC_NUMERIC_MASK, "C", base);
    if (!c) {
        freelocale(base);
        return;
    }
    m_locale = c;
    m_previous = uselocale(c);
}

CNumericLocale::~CNumericLocale()
{
    if (!m_locale)
        return;
    uselocale(static_cast<locale_t>(m_previous));
    freelocale(static_cast<locale_t>(m_locale));
}
#endif
