# Helpers that turn a source folder into a library or a test program. Each folder's .cpp files are
# picked up by glob, so adding a file needs no edit here.

set(PROPOSTA_CORE_LIBS "" CACHE INTERNAL "")

# Every test program ctest starts (and lists, for the GoogleTest ones) runs through a wrapper that
# gives it a home of its own (HOME and the XDG folders in a fresh folder), so tests never touch the
# real user's settings or caches and two tests running at once never share them.
if(PROPOSTA_TESTS)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/teste-isolado)
endif()

# A static library from every .cpp of DIR; skipped while DIR has no sources yet.
function(proposta_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT sources)
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    set(libs ${ARGN})
    foreach(l ${libs})
      if(TARGET ${l})
        target_link_libraries(${name} INTERFACE ${l})
      endif()
    endforeach()
  else()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARGN})
  endif()
  set(PROPOSTA_CORE_LIBS ${name} ${PROPOSTA_CORE_LIBS} CACHE INTERNAL "")
endfunction()

# A static Qt library (moc on) from every .cpp of DIR; skipped while DIR has no sources yet.
function(proposta_qt_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.h)
  file(GLOB resources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.qrc)
  if(sources)
    add_library(${name} STATIC ${sources} ${headers} ${resources})
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    set(libs)
    foreach(l ${ARGN})
      if(TARGET ${l} OR l MATCHES "::")
        list(APPEND libs ${l})
      endif()
    endforeach()
    target_link_libraries(${name} PUBLIC ${libs})
  endif()
endfunction()

# A GoogleTest program from every .cpp of DIR, registered with ctest; skipped while DIR is empty.
# Tests run under the Brazilian locale, as the window program does after Qt calls setlocale.
function(proposta_gtest name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(sources)
    add_executable(${name} ${sources} ${CMAKE_SOURCE_DIR}/tests/support/main.cpp)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock)
    target_compile_definitions(${name} PRIVATE
      PROPOSTA_SOURCE_DIR="${CMAKE_SOURCE_DIR}" PROPOSTA_BINARY_DIR="${CMAKE_BINARY_DIR}")
    gtest_discover_tests(${name}
      PROPERTIES ENVIRONMENT "LC_ALL=pt_BR.UTF-8"
      DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
