// The checkable trees of the views. The tree control itself is the store: each item carries its
// text, a data value (a memory index at the top level, a field ID below it) and an image that
// doubles as its check box.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Images of the tree's image list.
#define IMG_MIXED 0
#define IMG_NOCHECK 3
#define IMG_UNCHECKED 4
#define IMG_CHECKED 7
#define IMG_TEL 10
#define IMG_TEL2 11
#define IMG_EMAIL 13

// Field IDs of child items.
#define FIELD_TEL 1001
#define FIELD_NICKNAME 1002
#define FIELD_EMAIL 1003
#define FIELD_TEL2 1004
#define FIELD_MOBILE 5001
#define FIELD_WORK 5002
#define FIELD_HOME 5003

// Largest memory index of each tree, and the sizes of the callers' index arrays.
#define TREE_SIM_MAX_INDEX 1000
#define TREE_CONTACT_MAX_INDEX 5000

HWND TREE_Init(HWND hDlg, int iControl);
void TREE_CreateImageList(HWND hTree);
HTREEITEM TREE_InsertItem(HWND hTree, HTREEITEM hParent, int iChildren, int iImage, LPCWSTR pszText,
                          LPARAM lData, int iAppend);
void TREE_DeleteAll(HWND hTree);
void TREEITEM_Delete(HWND hTree, HTREEITEM hItem);
void TREE_SelectFirstItem(HWND hTree);
void TREEITEM_Select(HWND hTree, HTREEITEM hItem);
HTREEITEM TREE_GetSelectItem(HWND hTree);
HTREEITEM TREEITEM_GetParent(HWND hTree, HTREEITEM hItem);
int TREEITEM_HasChild(HWND hTree, HTREEITEM hItem);
int TREEITEM_IsParent(HWND hTree, HTREEITEM hItem);
void TREEITEM_Expand(HWND hTree, HTREEITEM hItem);
int TREE_GetParentCount(HWND hTree);
TVHITTESTINFO TREE_HitTest(HWND hTree, int x, int y);
int TREE_HitOnIcon(const TVHITTESTINFO& hit);
int TREE_HitOnItem(const TVHITTESTINFO& hit);
int TREEITEM_GetImgIndex(HWND hTree, HTREEITEM hItem);
void TREEITEM_SetImgIndex(HWND hTree, HTREEITEM hItem, int iImage);
LPWSTR TREEITEM_GetText(HWND hTree, HTREEITEM hItem);
void TREEITEM_SetText(HWND hTree, HTREEITEM hItem, LPCWSTR pszText);
void TREEITEM_SetChilds(HWND hTree, HTREEITEM hItem, int iCount);

void TREE_CHECKBOX_Toggle(HWND hTree, HTREEITEM hItem);
void TREE_CHECKBOX_SetChilds(HWND hTree, HTREEITEM hItem);
void TREE_CHECKBOX_UpdateParent(HWND hTree, HTREEITEM hItem);
void TREE_CHECKBOX_SetAll(HWND hTree, int iImage);
int TREE_CHECKBOX_CountImgIndex(HWND hTree, int iImage, int iLevel);

LPWSTR TREEITEM_GetSIMCardFiled(HWND hTree, HTREEITEM hItem, int iField);
int TREEITEM_SetSIMCardFiled(HWND hTree, HTREEITEM hItem, int iField, LPCWSTR pszText);
int TREEITEM_SIM_GetMemIndex(HWND hTree, HTREEITEM hItem);
// Collects into at most iCapacity entries of the caller's array; returns how many it wrote.
int TREE_SIM_GetCheckedMemIndex(HWND hTree, int* piIndices, int iCapacity);
HTREEITEM TREE_FindItemByMemIndex(HWND hTree, int iIndex);

int TREEITEM_CONTACT_GetMemIndex(HWND hTree, HTREEITEM hItem);
HTREEITEM TREEITEM_CONTACT_QueryItem(HWND hTree, HTREEITEM hItem, int iField);
LPWSTR TREEITEM_CONTACT_GetFiled(HWND hTree, HTREEITEM hItem, int iField);
int TREE_CONTACT_GetCheckedMemIndex(HWND hTree, int* piIndices, int iCapacity);
