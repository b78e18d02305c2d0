// Shell folder helpers: item-identifier lists kept in the shell's task
// allocator, and folder objects of the shell namespace below the desktop.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "Classes.h"
#include "Lists.h"

#include <cstddef>

// The special folders a namespace browser may start from, in the order it
// offers them; only the desktop is used so far.
extern const int acRootFolders[23];

// Zero-filled memory of Size bytes from the task allocator; nullptr when the
// allocator has none to give. Raises EOleSysError when there is no allocator.
LPITEMIDLIST AllocIdList(std::size_t Size);
LPITEMIDLIST NextIdItem(LPCITEMIDLIST Item);
// The bytes of List with its terminating item; 0 for nullptr.
UINT IdListSize(LPCITEMIDLIST List);
// A copy of List; nullptr for nullptr or when memory runs out.
LPITEMIDLIST CopyIdList(LPCITEMIDLIST List);
// First (nullptr for none) without its terminator, then the whole of Second;
// nullptr when Second is nullptr or memory runs out.
LPITEMIDLIST JoinIdLists(LPCITEMIDLIST First, LPCITEMIDLIST Second);
void FreeIdList(LPITEMIDLIST List);
// The desktop's folder interface (the caller releases it).
void GetDesktopShellFolder(IShellFolder*& Folder);
// The desktop's own identifier list (the caller frees it).
LPITEMIDLIST GetDesktopIdList();

// One folder of the shell namespace: where it is (relative to its parent and
// from the desktop), its parent object and its shell interface.
class TacShellFolder : public TObject {
public:
    // AParent nullptr means a folder directly below the desktop object.
    // The folder keeps copies of ID and a reference of its own to ShellFolder.
    TacShellFolder(TacShellFolder* AParent, LPCITEMIDLIST ID, IShellFolder* ShellFolder);
    ~TacShellFolder() override;

    LPCITEMIDLIST RelativeIdList() const { return FRelativeIdList; }
    LPCITEMIDLIST AbsoluteIdList() const { return FAbsoluteIdList; }
    TacShellFolder* Parent() const { return FParent; }
    IShellFolder* ShellFolder() const { return FShellFolder; }
    int Level() const { return FLevel; }
    TStringList* Details() const { return FDetails; }

private:
    LPITEMIDLIST FRelativeIdList = nullptr;
    LPITEMIDLIST FAbsoluteIdList = nullptr;
    TacShellFolder* FParent = nullptr;
    IShellFolder* FShellFolder = nullptr;
    int FLevel = 0;
    TStringList* FDetails = nullptr;
};

// The desktop's folder object made at start-up; nullptr when the shell could
// not give one (the program goes on without it).
TacShellFolder* DesktopShellFolder();

// The start-up step: the desktop's folder object, or nullptr on any failure
// of the shell. GetFolder is the shell's desktop-folder call.
TacShellFolder* MakeDesktopShellFolder(HRESULT(WINAPI* GetFolder)(IShellFolder**) = SHGetDesktopFolder);
