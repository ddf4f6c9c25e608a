#include "Bullet.h"

Bullet::Bullet(float damage, kit::EntityHandle owner) : damage(damage), owner(owner)
{
    addClassTags<Bullet>("bullet");
}
