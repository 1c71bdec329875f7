file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
# A given prefix receives the LV2 and VST3 bundles too.
foreach(part Velmora.vst/Contents/Info.plist Velmora.vst/Contents/x86_64-linux/Velmora.so
             Velmora.vst/Contents/Resources/TDParameters.txt
             velmora.lv2/manifest.ttl velmora.lv2/Contents/x86_64-linux/velmora.so
             velmora.lv2/Contents/x86_64-linux/velmora_ui.so velmora.lv2/Contents/Resources/bmp00128.png
             Velmora.vst3/Contents/x86_64-linux/Velmora.so Velmora.vst3/Contents/Resources/moduleinfo.json
             Velmora.vst3/Contents/Resources/bmp00128@2x.png)
  if(NOT EXISTS ${PREFIX}/${part})
    message(FATAL_ERROR "installed bundle lacks ${part}")
  endif()
endforeach()
# Hosts take every *.so in their folders for a plug-in.
file(GLOB_RECURSE shared_objects RELATIVE ${PREFIX} ${PREFIX}/*.so)
list(SORT shared_objects)
set(plug_ins Velmora.vst/Contents/x86_64-linux/Velmora.so Velmora.vst3/Contents/x86_64-linux/Velmora.so
             velmora.lv2/Contents/x86_64-linux/velmora.so velmora.lv2/Contents/x86_64-linux/velmora_ui.so)
if(NOT shared_objects STREQUAL plug_ins)
  message(FATAL_ERROR "installed *.so files other than the plug-ins: ${shared_objects}")
endif()
