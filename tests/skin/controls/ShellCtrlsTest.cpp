// Shell folder helpers: identifier lists built, walked, copied, joined, sized
// and freed in the task allocator to the byte, the missing-list cases, the
// desktop folder object of start-up, folder levels and a start-up that the
// shell cannot stop.
#include <gtest/gtest.h>

#include "ComObj.h"
#include "acShellCtrls.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// The task allocator's own view of a block: its size, and whether it is one.
struct Allocator {
    IMalloc* Malloc = nullptr;
    Allocator() { EXPECT_EQ(SHGetMalloc(&Malloc), S_OK); }
    ~Allocator() { Malloc->Release(); }
    SIZE_T Size(LPCITEMIDLIST l) const { return Malloc->GetSize(const_cast<LPITEMIDLIST>(l)); }
    bool Owns(LPCITEMIDLIST l) const { return Malloc->DidAlloc(const_cast<LPITEMIDLIST>(l)) == 1; }
};

// A list of items of the given byte counts (each including its 2-byte count),
// the payload bytes numbered so that copies can be told apart from zeros.
LPITEMIDLIST MakeList(const std::vector<USHORT>& sizes) {
    UINT total = 2;
    for (USHORT s : sizes) total += s;
    LPITEMIDLIST list = AllocIdList(total);
    BYTE* p = reinterpret_cast<BYTE*>(list);
    BYTE n = 1;
    for (USHORT s : sizes) {
        std::memcpy(p, &s, 2);
        for (USHORT i = 2; i < s; ++i) p[i] = n++;
        p += s;
    }
    return list;
}

std::vector<BYTE> Bytes(LPCITEMIDLIST l) {
    const BYTE* p = reinterpret_cast<const BYTE*>(l);
    return std::vector<BYTE>(p, p + IdListSize(l));
}

std::vector<USHORT> ItemSizes(LPCITEMIDLIST l) {
    std::vector<USHORT> sizes;
    for (; l->mkid.cb; l = NextIdItem(l)) sizes.push_back(l->mkid.cb);
    return sizes;
}

TEST(ShellIdLists, BuiltWalkedSizedAndAllocatedToTheByte) {
    Allocator a;
    EXPECT_EQ(IdListSize(nullptr), 0u);
    struct Case {
        std::vector<USHORT> Items;
        UINT Size;
    };
    for (const Case& c : {Case{{}, 2}, Case{{5}, 7}, Case{{5, 7}, 14}, Case{{3, 200, 4}, 209}}) {
        LPITEMIDLIST list = MakeList(c.Items);
        ASSERT_NE(list, nullptr);
        EXPECT_TRUE(a.Owns(list));
        EXPECT_EQ(IdListSize(list), c.Size);
        EXPECT_EQ(a.Size(list), c.Size);
        EXPECT_EQ(ItemSizes(list), c.Items);
        LPITEMIDLIST copy = CopyIdList(list);
        EXPECT_NE(copy, list);
        EXPECT_EQ(a.Size(copy), c.Size);
        EXPECT_EQ(Bytes(copy), Bytes(list));
        LPITEMIDLIST joined = JoinIdLists(nullptr, list);
        EXPECT_EQ(a.Size(joined), c.Size);
        EXPECT_EQ(Bytes(joined), Bytes(list));
        for (LPITEMIDLIST l : {list, copy, joined}) FreeIdList(l);
    }
    // New memory is zero-filled; what the allocator cannot give is no list.
    LPITEMIDLIST zeros = AllocIdList(9);
    EXPECT_EQ(a.Size(zeros), 9u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(zeros), 9), std::string(9, '\0'));
    FreeIdList(zeros);
    EXPECT_EQ(AllocIdList(static_cast<std::size_t>(-64)), nullptr);
}

TEST(ShellIdLists, JoinedListsKeepOneTerminatorAndMissingListsGiveNone) {
    Allocator a;
    LPITEMIDLIST first = MakeList({5, 4});
    LPITEMIDLIST second = MakeList({7, 3});
    LPITEMIDLIST empty = MakeList({});
    LPITEMIDLIST joined = JoinIdLists(first, second);
    EXPECT_EQ(IdListSize(joined), 5u + 4 + 7 + 3 + 2);
    EXPECT_EQ(a.Size(joined), 21u);
    EXPECT_EQ(ItemSizes(joined), (std::vector<USHORT>{5, 4, 7, 3}));
    std::vector<BYTE> expected = Bytes(first);
    expected.resize(expected.size() - 2);
    const std::vector<BYTE> tail = Bytes(second);
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(Bytes(joined), expected);
    LPITEMIDLIST both = JoinIdLists(empty, empty);
    EXPECT_EQ(a.Size(both), 2u);
    LPITEMIDLIST onEmpty = JoinIdLists(empty, second);
    EXPECT_EQ(Bytes(onEmpty), Bytes(second));
    // A missing list has no terminator to copy: never a list without one.
    EXPECT_EQ(CopyIdList(nullptr), nullptr);
    EXPECT_EQ(JoinIdLists(first, nullptr), nullptr);
    EXPECT_EQ(JoinIdLists(nullptr, nullptr), nullptr);
    for (LPITEMIDLIST l : {first, second, empty, joined, both, onEmpty}) FreeIdList(l);
}

// A shell folder that only counts its references.
class CountingFolder : public IShellFolder {
public:
    ULONG Refs = 1;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++Refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --Refs; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, LPBC, LPOLESTR, ULONG*, LPITEMIDLIST*, ULONG*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, LPENUMIDLIST*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST, LPBC, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BindToStorage(LPCITEMIDLIST, LPBC, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, LPCITEMIDLIST, LPCITEMIDLIST) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, LPCITEMIDLIST*, SFGAOF*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, LPCITEMIDLIST*, REFIID, UINT*, void**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST, SHGDNF, STRRET*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, LPCITEMIDLIST, LPCOLESTR, SHGDNF, LPITEMIDLIST*) override {
        return E_NOTIMPL;
    }
};

TEST(ShellFolders, LevelsParentsAndAbsoluteListsFollowTheChain) {
    Allocator a;
    TacShellFolder* desktop = DesktopShellFolder();
    ASSERT_NE(desktop, nullptr);
    LPITEMIDLIST five = MakeList({5});
    LPITEMIDLIST seven = MakeList({7});
    CountingFolder shell;
    {
        TacShellFolder loose(nullptr, five, &shell);
        TacShellFolder child(desktop, seven, &shell);
        TacShellFolder grandchild(&loose, seven, &shell);
        EXPECT_EQ(shell.Refs, 4u);
        EXPECT_EQ(loose.Parent(), desktop);
        EXPECT_EQ(loose.Level(), 0);
        EXPECT_EQ(child.Level(), 0);
        EXPECT_EQ(grandchild.Parent(), &loose);
        EXPECT_EQ(grandchild.Level(), 1);
        EXPECT_EQ(a.Size(loose.RelativeIdList()), 7u);
        EXPECT_EQ(a.Size(loose.AbsoluteIdList()), 7u);
        EXPECT_EQ(Bytes(child.AbsoluteIdList()), Bytes(seven));
        EXPECT_EQ(ItemSizes(grandchild.AbsoluteIdList()), (std::vector<USHORT>{5, 7}));
        EXPECT_EQ(a.Size(grandchild.AbsoluteIdList()), 14u);
    }
    EXPECT_EQ(shell.Refs, 1u);
    FreeIdList(five);
    FreeIdList(seven);
}

HRESULT WINAPI NoDesktopFolder(IShellFolder** folder) {
    *folder = nullptr;
    return E_FAIL;
}

TEST(ShellFolders, StartUpMakesTheDesktopObjectOrGoesOnWithoutIt) {
    TacShellFolder* desktop = DesktopShellFolder();
    ASSERT_NE(desktop, nullptr);
    EXPECT_EQ(desktop->Parent(), nullptr);
    EXPECT_EQ(desktop->Level(), 0);
    EXPECT_NE(desktop->ShellFolder(), nullptr);
    EXPECT_EQ(IdListSize(desktop->RelativeIdList()) + IdListSize(desktop->AbsoluteIdList()), 4u);
    EXPECT_EQ(desktop->Details()->Count(), 0);
    LPITEMIDLIST list = GetDesktopIdList();
    EXPECT_EQ(IdListSize(list), 2u);
    FreeIdList(list);
    IShellFolder* folder = nullptr;
    GetDesktopShellFolder(folder);
    ASSERT_NE(folder, nullptr);
    folder->Release();
    // Another one from the real shell is whole and goes cleanly; a shell that
    // fails leaves none, and raises nothing.
    TacShellFolder* made = MakeDesktopShellFolder();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Parent(), desktop);
    made->Free();
    EXPECT_EQ(MakeDesktopShellFolder(NoDesktopFolder), nullptr);
    try {
        OleCheck(E_OUTOFMEMORY);
        ADD_FAILURE() << "a failure code passed the check";
    } catch (const EOleSysError& e) {
        EXPECT_EQ(e.ErrorCode(), E_OUTOFMEMORY);
    }
}

}  // namespace
