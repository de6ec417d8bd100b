# Shared settings for the project's own targets.
function(orv_target_defaults target)
  target_compile_options(${target} PRIVATE ${ORV_WARNINGS})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  if(WIN32)
    target_compile_definitions(${target} PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601)
  endif()
endfunction()

# Time zones the time-sensitive tests run under: midnight changes, a 30-minute
# shift, both hemispheres.
set(ORV_TEST_ZONES UTC Europe/Berlin America/New_York America/Santiago Australia/Lord_Howe Asia/Kolkata)

# Registers one test per zone; under the cross build CTest runs it through Wine.
function(orv_add_zoned_test name target)
  foreach(zone ${ORV_TEST_ZONES})
    string(REPLACE "/" "_" zone_id ${zone})
    add_test(NAME ${name}.${zone_id} COMMAND ${target})
    set_tests_properties(${name}.${zone_id} PROPERTIES ENVIRONMENT "TZ=${zone}")
  endforeach()
endfunction()
