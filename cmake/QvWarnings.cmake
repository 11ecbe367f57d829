# Warnings are errors-in-waiting: every target of ours builds clean under these.
function(qv_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers)
  # GCC 12's optimiser reports std::string and std::vector<uint8_t> appends
  # inside libstdc++ as overlapping or overflowing copies (GCC bugs 105329,
  # 106199); fixed in GCC 13.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict -Wno-stringop-overflow)
  endif()
endfunction()

# Sources of a folder, found anew whenever files are added, so that a new
# reader or renderer needs no build-file edit.
function(qv_glob_sources out)
  set(result)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
      ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.c)
    list(APPEND result ${found})
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()
