# The presenter: converting a whole frame of pixel codes into the work image,
# and painting it stretched to the 200 % picture.
add_executable(bench_display ${CMAKE_CURRENT_LIST_DIR}/DisplayBench.cpp)
target_link_libraries(bench_display PRIVATE quillon_presenter quillon_pixels benchmark::benchmark)
quillon_target_defaults(bench_display)
