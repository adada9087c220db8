# The Qt program, its platform pieces and their tests.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Multimedia Charts Test)
# libxcb: the start-up asks the X server itself whether it can be reached.
find_package(PkgConfig REQUIRED)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

# Qt Multimedia implementations of the platform interfaces.
file(GLOB TAMBRIX_PLATFORM_SOURCES CONFIGURE_DEPENDS src/platform/*.cpp src/platform/*.h)
add_library(tambrix_platform STATIC ${TAMBRIX_PLATFORM_SOURCES})
target_link_libraries(tambrix_platform PUBLIC tambrix_core Qt6::Core Qt6::Multimedia
                                       PRIVATE tambrix_warnings)

# Qt Widgets wrappers of the shell and the display (files ending in _qt).
file(GLOB TAMBRIX_GUI_SOURCES CONFIGURE_DEPENDS
     src/shell/*_qt.cpp src/shell/*_qt.h src/display/*_qt.cpp src/display/*_qt.h)
add_library(tambrix_gui STATIC ${TAMBRIX_GUI_SOURCES})
target_link_libraries(tambrix_gui PUBLIC tambrix_ui_logic tambrix_platform Qt6::Widgets Qt6::Charts
                                  PRIVATE PkgConfig::XCB tambrix_warnings)

# The artwork (bitmaps 104 and 106, the icon) is compiled into each program
# that shows the dialog; made by resources/make_artwork.py.
set(TAMBRIX_RESOURCE_FILE ${CMAKE_SOURCE_DIR}/resources/tambrix.qrc)

add_executable(tambrix src/shell/main.cpp ${TAMBRIX_RESOURCE_FILE})
target_link_libraries(tambrix PRIVATE tambrix_gui tambrix_warnings)
install(TARGETS tambrix RUNTIME DESTINATION bin)
install(FILES resources/tambrix.desktop DESTINATION share/applications)
install(FILES resources/org.tambrix.tambrix.metainfo.xml DESTINATION share/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES resources/icons/tambrix-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME tambrix.png)
endforeach()
install(FILES resources/icons/tambrix.svg DESTINATION share/icons/hicolor/scalable/apps)

# The Qt tests need the test support from cmake/tests.cmake, which is read
# after this file: they are added once the whole directory has been read.
function(tambrix_add_qt_tests)
  # Every *_qt_test.cpp under tests/ goes into one Qt test program, whose
  # main() makes the QApplication.
  file(GLOB_RECURSE TAMBRIX_QT_TEST_SOURCES CONFIGURE_DEPENDS tests/*_qt_test.cpp)
  if(TAMBRIX_QT_TEST_SOURCES)
    add_executable(tambrix_qt_tests ${TAMBRIX_QT_TEST_SOURCES} tests/shell/qt_test_main.cpp
                                    ${TAMBRIX_RESOURCE_FILE})
    target_link_libraries(tambrix_qt_tests PRIVATE tambrix_gui tambrix_test_support Qt6::Test
                                                   GTest::gtest tambrix_warnings)
    target_compile_definitions(tambrix_qt_tests PRIVATE
      TAMBRIX_PROGRAM_PATH="$<TARGET_FILE:tambrix>"
      TAMBRIX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    add_dependencies(tambrix_qt_tests tambrix)
    gtest_discover_tests(tambrix_qt_tests DISCOVERY_TIMEOUT 60
                         PROPERTIES LABELS qt TIMEOUT 300
                         ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()

if(TAMBRIX_TESTS)
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL tambrix_add_qt_tests)
endif()
