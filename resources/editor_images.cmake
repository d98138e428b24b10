# The editor's images by resource id, as the module carries them (paths
# relative to this folder).
set(SELVARIN_EDITOR_IMAGES
  100=img/bg.png
  101=img/knob.png
  102=img/knob2.png
  103=img/wave.png
  104=img/lfo_wave.png
  105=img/btn.png
  106=img/btn3.png
  107=img/lfo_tg.png
  108=img/lfo_tg_.png
  109=img/rate_sync.png
  110=img/btn2.png
)
set(SELVARIN_EDITOR_IMAGE_DIR ${CMAKE_CURRENT_LIST_DIR})
