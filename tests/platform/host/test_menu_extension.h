// The classes of the test menu extension library (TestMenuExt.dll) and the debug lines through
// which it tells the tests what the Contacts application called it with.
#pragma once

#include <windef.h>

// {5E0A7A10-3C1B-4F2E-8D6A-1B2C3D4E5F01}: adds "Test Command" and shows a box when invoked.
constexpr CLSID CLSID_TestMenuExt = {
    0x5E0A7A10, 0x3C1B, 0x4F2E, {0x8D, 0x6A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F, 0x01}};
// {5E0A7A11-3C1B-4F2E-8D6A-1B2C3D4E5F01}: its QueryContextMenu fails.
constexpr CLSID CLSID_FailingMenuExt = {
    0x5E0A7A11, 0x3C1B, 0x4F2E, {0x8D, 0x6A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F, 0x01}};
// {5E0A7A12-3C1B-4F2E-8D6A-1B2C3D4E5F01}: registered to the library, which does not serve it.
constexpr CLSID CLSID_UnservedMenuExt = {
    0x5E0A7A12, 0x3C1B, 0x4F2E, {0x8D, 0x6A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F, 0x01}};

#define TEST_MENU_EXT_COMMAND u"Test Command"
#define TEST_MENU_EXT_BOX u"The test command ran."

// Line formats (NKDbgPrintfW), in the order of the protocol:
//   "TestMenuExt: attach" / "TestMenuExt: detach"                  DllMain
//   "TestMenuExt: selection N: ID ID ..."                          SetSite, read from the site
//   "TestMenuExt: query at I of N items, identifiers F to L"       QueryContextMenu
//   "TestMenuExt: invoke size S verb V owner 0xH with N objects"   InvokeCommand
