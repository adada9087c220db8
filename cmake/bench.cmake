find_package(benchmark REQUIRED)

# The literal reference analysis of the tests, timed against the engine's.
add_library(tambrix_literal_analysis INTERFACE)
target_include_directories(tambrix_literal_analysis INTERFACE tests)
target_link_libraries(tambrix_literal_analysis INTERFACE tambrix_core)

# Each bench/<name>_bench.cpp is a program of its own.
file(GLOB TAMBRIX_BENCH_SOURCES CONFIGURE_DEPENDS bench/*_bench.cpp)
foreach(source ${TAMBRIX_BENCH_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_include_directories(${name} PRIVATE bench tests)
  target_link_libraries(${name} PRIVATE tambrix_ui_logic tambrix_literal_analysis
                                        benchmark::benchmark tambrix_warnings)
endforeach()

# The waveform's paint is timed with the display's own Qt drawing, which
# needs only Qt Gui.
if(TARGET Qt6::Gui)
  target_sources(waveform_zoom_bench PRIVATE src/display/waveform_painter_qt.cpp)
  target_link_libraries(waveform_zoom_bench PRIVATE Qt6::Gui)
else()
  set_target_properties(waveform_zoom_bench PROPERTIES EXCLUDE_FROM_ALL ON)
endif()

# The shot review is timed as the program opens it, the live meter through
# the program's own loop.
foreach(name shot_review_bench live_meter_latency_bench)
  if(TARGET tambrix_gui)
    target_link_libraries(${name} PRIVATE tambrix_gui)
  else()
    set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL ON)
  endif()
endforeach()
