# The schedule grid view's benchmark: load and first paint of up to 32,766 lines offscreen,
# and repaints after a scroll and a zoom step. Include from bench/CMakeLists.txt.
add_executable(grid_view_bench ${CMAKE_CURRENT_LIST_DIR}/grid_view_bench.cpp)
target_include_directories(grid_view_bench PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(grid_view_bench PRIVATE varnex::grid_widgets benchmark::benchmark)
target_compile_definitions(grid_view_bench PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_FOREACH)
varnex_warnings(grid_view_bench)
