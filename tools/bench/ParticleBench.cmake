# GPU cost of the particle systems at full capacity; run it like tolvane-bench.
add_executable(tolvane-particle-bench ${CMAKE_CURRENT_LIST_DIR}/ParticleBench.cpp)
target_link_libraries(tolvane-particle-bench PRIVATE tolvane_test_support)
add_dependencies(tolvane-particle-bench stage_shaders)
set_target_properties(tolvane-particle-bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bin")
