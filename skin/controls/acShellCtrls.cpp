#include "acShellCtrls.h"

#include "ComObj.h"

#include <cstring>
#include <memory>

const int acRootFolders[23] = {CSIDL_DESKTOP,         CSIDL_DRIVES,           CSIDL_NETWORK,
                               CSIDL_BITBUCKET,       CSIDL_APPDATA,          CSIDL_COMMON_DESKTOPDIRECTORY,
                               CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTMENU, CSIDL_COMMON_STARTUP,
                               CSIDL_CONTROLS,        CSIDL_DESKTOPDIRECTORY, CSIDL_FAVORITES,
                               CSIDL_FONTS,           CSIDL_INTERNET,         CSIDL_PERSONAL,
                               CSIDL_PRINTERS,        CSIDL_PRINTHOOD,        CSIDL_PROGRAMS,
                               CSIDL_RECENT,          CSIDL_SENDTO,           CSIDL_STARTMENU,
                               CSIDL_STARTUP,         CSIDL_TEMPLATES};

namespace {

// The task allocator, held only for one call.
struct TaskAllocator {
    IMalloc* Malloc = nullptr;
    TaskAllocator() { OleCheck(SHGetMalloc(&Malloc)); }
    ~TaskAllocator() {
        if (Malloc) Malloc->Release();
    }
    TaskAllocator(const TaskAllocator&) = delete;
    TaskAllocator& operator=(const TaskAllocator&) = delete;
};

// Frees a list where nothing may be raised (destructors): without an
// allocator the list is left rather than the program stopped.
void FreeIdListQuietly(LPITEMIDLIST List) {
    IMalloc* malloc = nullptr;
    if (!List || FAILED(SHGetMalloc(&malloc)) || !malloc) return;
    malloc->Free(List);
    malloc->Release();
}

// An identifier list freed when the scope ends, unless released.
struct IdListHolder {
    LPITEMIDLIST List;
    explicit IdListHolder(LPITEMIDLIST l) : List(l) {}
    ~IdListHolder() { FreeIdListQuietly(List); }
    LPITEMIDLIST Release() {
        LPITEMIDLIST l = List;
        List = nullptr;
        return l;
    }
    IdListHolder(const IdListHolder&) = delete;
    IdListHolder& operator=(const IdListHolder&) = delete;
};

constexpr UINT kTerminatorSize = sizeof(USHORT);

// What the unit holds from start-up to shutdown.
struct ShellUnit {
    TacShellFolder* Desktop = nullptr;
    CRITICAL_SECTION Lock;
    bool OleReady = false;

    ShellUnit() {
        Desktop = MakeDesktopShellFolder();
        InitializeCriticalSection(&Lock);
        OleReady = SUCCEEDED(OleInitialize(nullptr));
    }
    ~ShellUnit() {
        FreeAndNil(Desktop);
        DeleteCriticalSection(&Lock);
        if (OleReady) OleUninitialize();
    }
};

ShellUnit TheShellUnit;

}  // namespace

LPITEMIDLIST AllocIdList(std::size_t Size) {
    TaskAllocator allocator;
    void* p = allocator.Malloc->Alloc(Size);
    if (p) std::memset(p, 0, Size);
    return static_cast<LPITEMIDLIST>(p);
}

LPITEMIDLIST NextIdItem(LPCITEMIDLIST Item) {
    const BYTE* p = reinterpret_cast<const BYTE*>(Item);
    return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(p + Item->mkid.cb));
}

UINT IdListSize(LPCITEMIDLIST List) {
    if (!List) return 0;
    UINT size = kTerminatorSize;
    for (LPCITEMIDLIST item = List; item->mkid.cb != 0; item = NextIdItem(item)) size += item->mkid.cb;
    return size;
}

LPITEMIDLIST CopyIdList(LPCITEMIDLIST List) {
    // A missing list has no terminator to copy: nothing is made.
    if (!List) return nullptr;
    const UINT size = IdListSize(List);
    LPITEMIDLIST copy = AllocIdList(size);
    if (copy) std::memcpy(copy, List, size);
    return copy;
}

LPITEMIDLIST JoinIdLists(LPCITEMIDLIST First, LPCITEMIDLIST Second) {
    if (!Second) return nullptr;
    const UINT firstSize = First ? IdListSize(First) - kTerminatorSize : 0;
    const UINT secondSize = IdListSize(Second);
    LPITEMIDLIST joined = AllocIdList(firstSize + secondSize);
    if (!joined) return nullptr;
    BYTE* p = reinterpret_cast<BYTE*>(joined);
    if (firstSize) std::memcpy(p, First, firstSize);
    std::memcpy(p + firstSize, Second, secondSize);
    return joined;
}

void FreeIdList(LPITEMIDLIST List) {
    TaskAllocator allocator;
    allocator.Malloc->Free(List);
}

void GetDesktopShellFolder(IShellFolder*& Folder) { OleCheck(SHGetDesktopFolder(&Folder)); }

LPITEMIDLIST GetDesktopIdList() {
    LPITEMIDLIST list = nullptr;
    OleCheck(SHGetSpecialFolderLocation(nullptr, acRootFolders[0], &list));
    return list;
}

// ---------------------------------------------------------------------------

TacShellFolder::TacShellFolder(TacShellFolder* AParent, LPCITEMIDLIST ID, IShellFolder* ShellFolder)
    : FParent(AParent) {
    auto details = std::make_unique<TStringList>();
    IdListHolder relative(CopyIdList(ID));
    IdListHolder absolute(nullptr);
    if (AParent) {
        absolute.List = JoinIdLists(AParent->FAbsoluteIdList, ID);
    } else {
        IdListHolder desktop(GetDesktopIdList());
        absolute.List = JoinIdLists(desktop.List, ID);
    }
    FDetails = details.release();
    FRelativeIdList = relative.Release();
    FAbsoluteIdList = absolute.Release();
    FShellFolder = ShellFolder;
    if (FShellFolder) FShellFolder->AddRef();
    if (!AParent) {
        FParent = DesktopShellFolder();
    } else {
        for (TacShellFolder* f = AParent->FParent; f; f = f->FParent) ++FLevel;
    }
}

TacShellFolder::~TacShellFolder() {
    delete FDetails;
    FreeIdListQuietly(FRelativeIdList);
    FreeIdListQuietly(FAbsoluteIdList);
    if (FShellFolder) FShellFolder->Release();
}

TacShellFolder* DesktopShellFolder() { return TheShellUnit.Desktop; }

TacShellFolder* MakeDesktopShellFolder(HRESULT(WINAPI* GetFolder)(IShellFolder**)) {
    // Nothing here may stop the program: a shell that cannot give the desktop
    // leaves the program without the desktop object.
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &list)) || !list) return nullptr;
    TacShellFolder* desktop = nullptr;
    IShellFolder* folder = nullptr;
    try {
        IdListHolder holder(list);
        OleCheck(GetFolder(&folder));
        desktop = new TacShellFolder(nullptr, list, folder);
    } catch (const std::exception&) {
        desktop = nullptr;
    }
    if (folder) folder->Release();
    return desktop;
}
