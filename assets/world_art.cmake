# Procedural pictures of the world library (Res2.dxg): the sky, the hills and the
# animated effects, painted by vantorel-artgen into ${VANTOREL_ASSET_DIR}/res2.
# Each picture is its own command, so the two cores paint side by side; the art
# depends only on the generator (fixed seeds), which links nothing of the game.
set(VANTOREL_WORLD_ART
  SkyTile Hills1 Hills2 Hills3
  Explosion PlasmaExplosion
  EngineFire EngineFireR
  LaserFire PlasmaFire LaserFireR PlasmaFireR
  PlayerShield PlasmaBullet
  RailBullet RailBulletR RailBulletBody)

set(world_pngs)
foreach(name ${VANTOREL_WORLD_ART})
  set(png ${VANTOREL_ASSET_DIR}/res2/${name}.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VANTOREL_ASSET_DIR}/res2
    COMMAND vantorel-artgen picture ${name} ${png}
    DEPENDS vantorel-artgen
    COMMENT "Painting res2/${name}.png"
    VERBATIM)
  list(APPEND world_pngs ${png})
endforeach()
set_property(GLOBAL APPEND PROPERTY VANTOREL_RES2_PNGS ${world_pngs})
