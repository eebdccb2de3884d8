#pragma once

// Switches the calling thread to the C notation of numbers ("2.5") for its lifetime.
// libxlsxwriter formats numbers, column widths and margins with printf, which writes
// "2,5" under German regional settings and so produces a workbook no spreadsheet
// reads correctly.
class CNumericLocale {
public:
    CNumericLocale();
    ~CNumericLocale();
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    void* m_locale = nullptr;
    void* m_previous = nullptr;
    [[maybe_unused]] int m_previousMode = 0;
};
