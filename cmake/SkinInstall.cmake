# `cmake --install` puts the library in place for programs built outside this
# tree:
#   include/SkinLibrary/                 every public header, in one folder
#   lib/libclasslib.a, libskincore.a, libskin.a
#   lib/SkinLibrary/...                  the built-in skins' resource object
#   lib/cmake/SkinLibrary/               the package configuration
# A program then needs only
#   find_package(SkinLibrary REQUIRED)
#   target_link_libraries(app PRIVATE SkinLibrary::skin)
# Every path in the configuration is relative to it, so the installed tree may
# be moved.
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/SkinCore.cmake)
set(SKIN_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/SkinLibrary)
set(SKIN_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/SkinLibrary)

file(GLOB SKIN_PUBLIC_HEADERS CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/classlib/*.h
  ${PROJECT_SOURCE_DIR}/skin/engine/*.h
  ${PROJECT_SOURCE_DIR}/skin/controls/*.h
  ${PROJECT_SOURCE_DIR}/skin/forms/*.h)
install(FILES ${SKIN_PUBLIC_HEADERS} ${SKINCORE_HEADERS} DESTINATION ${SKIN_INSTALL_INCLUDEDIR})

# What the in-tree build sets for everything, a program using the headers and
# the libraries needs too: the headers expect these Windows settings, and a
# static runtime lets the program run with no DLLs beside it.
target_compile_definitions(classlib INTERFACE
  $<INSTALL_INTERFACE:WIN32_LEAN_AND_MEAN;NOMINMAX;_WIN32_WINNT=0x0601;WINVER=0x0601>)
target_compile_features(classlib INTERFACE cxx_std_17)
target_link_options(classlib INTERFACE $<INSTALL_INTERFACE:-static;-static-libgcc;-static-libstdc++>)

set_target_properties(skin_builtin_skins PROPERTIES EXPORT_NAME builtin_skins)
install(TARGETS classlib skincore skin skin_builtin_skins EXPORT SkinLibraryTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  OBJECTS DESTINATION ${CMAKE_INSTALL_LIBDIR}/SkinLibrary
  INCLUDES DESTINATION ${SKIN_INSTALL_INCLUDEDIR})
install(EXPORT SkinLibraryTargets NAMESPACE SkinLibrary:: DESTINATION ${SKIN_INSTALL_CMAKEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/cmake/SkinLibraryConfig.cmake DESTINATION ${SKIN_INSTALL_CMAKEDIR})
