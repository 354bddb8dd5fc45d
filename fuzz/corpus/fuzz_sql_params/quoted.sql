select ':notparam', "col:x", [a:b] from t -- :comment
 where a = :a /* :b */ and b = :"first name" and c::int = :a