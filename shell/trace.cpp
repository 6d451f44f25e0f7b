#include "shell/trace.h"

#include <cstdarg>

namespace {

const WCHAR kProgramName[] = u"Telvane";
const WCHAR kDefaultTag[] = u"RD_INFO";
const WCHAR kErrorTag[] = u"RD_Error";

// A whole line: the program name, the tag, the text and the line break.
const int kLineSize = TRACE_TEXT_SIZE + 64;

} // namespace

void DBG_Print(LPCWSTR pszText, LPCWSTR pszTag) {
    thread_local WCHAR szLine[kLineSize];
    StringCchPrintfW(szLine, kLineSize, u"%s <%s>: %s\r\n", kProgramName,
                     pszTag ? pszTag : kDefaultTag, pszText ? pszText : u"");
    OutputDebugStringW(szLine);
}

void DBG_Result(int iResult, LPCWSTR pszText) {
    thread_local WCHAR szText[TRACE_TEXT_SIZE];
    if (iResult == 1) {
        StringCchPrintfW(szText, TRACE_TEXT_SIZE, u"%s: Success", pszText);
        DBG_Print(szText, nullptr);
    } else if (iResult == -1) {
        StringCchPrintfW(szText, TRACE_TEXT_SIZE, u"%s: Error", pszText);
        DBG_Print(szText, kErrorTag);
    }
}

void DBG_Bool(int iFlag, LPCWSTR pszText) {
    thread_local WCHAR szText[TRACE_TEXT_SIZE];
    StringCchPrintfW(szText, TRACE_TEXT_SIZE, iFlag ? u"%s == TRUE" : u"%s == FALSE", pszText);
    DBG_Print(szText, nullptr);
}

void DBG_Printf(LPCWSTR pszTag, LPCWSTR pszFormat, ...) {
    thread_local WCHAR szText[TRACE_TEXT_SIZE];
    va_list args;
    va_start(args, pszFormat);
    StringCchVPrintfW(szText, TRACE_TEXT_SIZE, pszFormat, args);
    va_end(args);
    DBG_Print(szText, pszTag);
}
